// Identifiers of the main window's resources and commands.
#pragma once

enum : unsigned {
    IDD_ABOUTBOX = 100,
    IDS_ABOUTBOX = 101,
    IDD_KORVANE_DIALOG = 102,
    IDR_MAINFRAME = 128,
    IDR_MENU = 130,
    IDM_ABOUTBOX = 0x0010,

    IDC_START = 1000,
    IDC_PREV = 1001,
    IDC_FRAMEVIEW = 1002,
    IDC_SEEKBAR = 1003,
    IDC_PROGRESS = 1004,
    IDC_PLAY = 1005,
    IDC_PAUSE = 1006,
    IDC_NEXT = 1007,
    IDC_END = 1008,
    IDC_FRAME = 1009,
    IDC_VIDEO = 1010,
    IDC_AUDIO = 1011,
    IDC_OPEN = 1012,
    IDC_SAVE = 1013,

    ID_FILE_OPENAVI = 32771,
    ID_FILE_CLOSE = 57602,
    ID_FILE_SAVEAS = 32773,
    ID_FILE_EXIT = 32774,
    ID_EXTRACT_FRAME = 32775,
    ID_EXTRACT_VIDEO = 32776,
    ID_EXTRACT_AUDIO = 32777,
    ID_HELP_TOPICS = 32778,
    ID_HELP_ABOUT = 32780,
    ID_VIDEO_STREAM_INFO = 32781,
    ID_AUDIO_STREAM_INFO = 32782,
    ID_HELP_WEBPAGE = 32783,
};

// Playback runs on this timer of the main window.
inline constexpr unsigned kPlaybackTimer = 1;
