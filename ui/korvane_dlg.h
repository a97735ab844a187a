// The main window: a modal dialog with the frame view, the seek bar, the
// progress bar, eleven picture buttons and the owner-drawn menu bar.
#pragma once

#include "afxcmn.h"
#include "afxext.h"
#include "afxwin.h"
#include "controls/bitmap_menu.h"
#include "playback/avi_state.h"

// Posted at start-up so that the start file opens in the running main window.
inline constexpr UINT WM_KORVANE_OPENSTART = WM_APP + 0x13;

class CKorvaneDlg : public CDialog {
  public:
    explicit CKorvaneDlg(CWnd* parent = nullptr);
    ~CKorvaneDlg() override;
    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override { return GetThisMessageMap(); }

    enum { IDD = 102 };

    CBitmapMenu fileMenu;
    CBitmapMenu extractMenu;
    CBitmapMenu helpMenu;
    RECT viewRect{};
    CBitmapButton startButton;
    CBitmapButton prevButton;
    CBitmapButton playButton;
    CBitmapButton pauseButton;
    CBitmapButton nextButton;
    CBitmapButton endButton;
    CBitmapButton frameButton;
    CBitmapButton videoButton;
    CBitmapButton audioButton;
    CBitmapButton openButton;
    CBitmapButton saveButton;
    AviState state;
    CProgressCtrl progressBar;
    CSliderCtrl seekBar;
    CStatic frameView;
    HICON icon;
    // A file named on the command line, opened once the about box is closed.
    CString startFile;
    // The .bmp file header as last written; only the low 16 bits of type reach the file.
    struct {
        DWORD bfType;
        DWORD bfSize;
        DWORD bfReserved;
        DWORD bfOffBits;
    } bitmapFileHeader{};

    // Control states.
    void enableVideoControls();
    void enableAudioControls();
    void disableFileControls();

    // Open file and frame view.
    void OpenAviFile(CString path);
    void CloseAviFile();
    void ResetAviHandles();
    void DrawFrame(HDC hdc, LPBITMAPINFOHEADER frame);
    void ShowCurrentFrame();
    void buildMenuBar();
    // Opens a file named outside the Open dialog (command line, a drop) as
    // that dialog's OK does.
    void OpenChosenFile(CString path);

    // Exports.
    void WriteFrameBitmap(CString path);
    void ExtractVideoStream(CString path);
    void ExtractAudioStream(CString path);
    void SaveVideoCompressed(CString path);
    void SaveAudioCompressed(CString path);

  protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    void OnSysCommand(UINT id, LPARAM lp);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnOpenFile();
    void OnDestroy();
    void OnSeekReleased(NMHDR* nmhdr, LRESULT* result);
    void OnSeekScroll(UINT code, UINT pos, CWnd* control);
    void OnStart();
    void OnEnd();
    void OnPrev();
    void OnNext();
    void OnPlay();
    void OnTimer(UINT_PTR id);
    void OnPause();
    void OnFrameButton();
    void OnVideoButton();
    void OnAudioButton();
    void OnSaveButton();
    void OnFileOpen();
    void OnFileClose();
    void OnFileSaveAs();
    void OnFileExit();
    void OnExtractFrame();
    void OnExtractVideo();
    void OnExtractAudio();
    void OnVideoStreamInfo();
    void OnAudioStreamInfo();
    void OnAbout();
    void OnVisitWebPage();
    void OnHelpTopics();
    LRESULT OnOpenStartFile(WPARAM, LPARAM);
    LRESULT OnDropFiles(WPARAM drop, LPARAM);

  private:
    bool checkFile();
    bool checkVideo();
    bool checkAudio();
    // Drops what an open that stopped early had acquired but not marked.
    void releaseUnmarked();
    void showAbout();
};
