#include "vfw/options/audio_dialog.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "vfw/options/audio_choices.h"
#include "vfw/options/dialog_state.h"
#include "vfw/options/template_parts.h"
#include "win/dialogs/dialogs.h"

namespace vfw::options {

namespace {

using namespace audio_ids;

struct AudioState {
    std::vector<codec::AudioFormatInfo> formats;
    std::vector<AudioChoice> choices;  // of the format shown
    WAVEFORMATEX preferred{};          // what to select first
    std::vector<std::uint8_t> picked;
};

int closeness(const WAVEFORMATEX& a, const WAVEFORMATEX& b) {
    return (a.nSamplesPerSec == b.nSamplesPerSec) * 4 + (a.nChannels == b.nChannels) * 2 +
           (a.wBitsPerSample == b.wBitsPerSample || a.nAvgBytesPerSec == b.nAvgBytesPerSec);
}

void fill_attributes(HWND dlg, AudioState& s) {
    SendDlgItemMessageA(dlg, kAttributes, CB_RESETCONTENT, 0, 0);
    s.choices.clear();
    const LRESULT f = SendDlgItemMessageA(dlg, kFormat, CB_GETCURSEL, 0, 0);
    if (f < 0 || std::size_t(f) >= s.formats.size()) return;
    s.choices = audio_choices(s.formats[std::size_t(f)]);
    std::size_t best = 0;
    int best_score = -1;
    for (std::size_t i = 0; i < s.choices.size(); ++i) {
        SendDlgItemMessageA(dlg, kAttributes, CB_ADDSTRING, 0, LPARAM(s.choices[i].text.c_str()));
        const int score = closeness(s.choices[i].header(), s.preferred);
        if (score > best_score) {
            best = i;
            best_score = score;
        }
    }
    SendDlgItemMessageA(dlg, kAttributes, CB_SETCURSEL, WPARAM(best), 0);
    if (HWND ok = GetDlgItem(dlg, IDOK)) EnableWindow(ok, s.choices.empty() ? FALSE : TRUE);
}

void init(HWND dlg, AudioState& s) {
    SendDlgItemMessageA(dlg, kName, CB_ADDSTRING, 0, LPARAM("[untitled]"));
    SendDlgItemMessageA(dlg, kName, CB_SETCURSEL, 0, 0);
    LRESULT pick = 0;
    for (std::size_t i = 0; i < s.formats.size(); ++i) {
        SendDlgItemMessageA(dlg, kFormat, CB_ADDSTRING, 0, LPARAM(s.formats[i].name.c_str()));
        if (s.formats[i].tag == s.preferred.wFormatTag) pick = LRESULT(i);
    }
    SendDlgItemMessageA(dlg, kFormat, CB_SETCURSEL, WPARAM(pick), 0);
    fill_attributes(dlg, s);
}

INT_PTR CALLBACK audio_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    AudioState* s = dialog_state<AudioState>(dlg, msg, lp);
    if (!s) return FALSE;
    switch (msg) {
        case WM_INITDIALOG:
            init(dlg, *s);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wp)) {
                case IDOK: {
                    const LRESULT a = SendDlgItemMessageA(dlg, kAttributes, CB_GETCURSEL, 0, 0);
                    if (a < 0 || std::size_t(a) >= s->choices.size())
                        return TRUE;  // nothing the codec takes
                    s->picked = s->choices[std::size_t(a)].format;
                    EndDialog(dlg, IDOK);
                    return TRUE;
                }
                case IDCANCEL:
                    EndDialog(dlg, IDCANCEL);
                    return TRUE;
                case kFormat:
                    if (HIWORD(wp) == CBN_SELCHANGE) fill_attributes(dlg, *s);
                    return TRUE;
            }
            return FALSE;
    }
    return FALSE;
}

}  // namespace

win::res::DialogTemplate audio_dialog_template() {
    auto t = classic_dialog("Sound Selection", 250, 88);
    auto& c = t.controls;
    c.push_back(control("STATIC", "&Name:", -1, SS_LEFT, 6, 8, 32, 8));
    c.push_back(control("COMBOBOX", "", kName, CBS_DROPDOWNLIST | WS_TABSTOP, 42, 6, 106, 60));
    // Named presets are not kept by this layer.
    c.push_back(
        control("BUTTON", "&Save As...", kSaveAs, BS_PUSHBUTTON | WS_DISABLED, 152, 6, 46, 14));
    c.push_back(control("BUTTON", "&Remove", kRemove, BS_PUSHBUTTON | WS_DISABLED, 202, 6, 42, 14));
    c.push_back(control("STATIC", "&Format:", -1, SS_LEFT, 6, 29, 32, 8));
    c.push_back(control("COMBOBOX", "", kFormat, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 42, 27,
                        202, 100));
    c.push_back(control("STATIC", "&Attributes:", -1, SS_LEFT, 6, 48, 36, 8));
    c.push_back(control("COMBOBOX", "", kAttributes, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 42,
                        46, 202, 120));
    c.push_back(control("BUTTON", "OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 78, 68, 44, 14));
    c.push_back(control("BUTTON", "Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 128, 68, 44, 14));
    return t;
}

bool run_audio_dialog(HWND owner, PAVISTREAM stream, AVICOMPRESSOPTIONS& options) {
    AudioState s;
    s.formats = codec::audio_formats();
    if (s.formats.empty()) return false;
    if ((options.dwFlags & AVICOMPRESSF_VALID) && options.lpFormat && options.cbFormat >= 16) {
        std::memcpy(&s.preferred, options.lpFormat, 16);
    } else {
        LONG size = sizeof s.preferred;
        WAVEFORMATEX source{};
        std::vector<std::uint8_t> format(64 * 1024);
        size = LONG(format.size());
        if (AVIStreamReadFormat(stream, 0, format.data(), &size) == AVIERR_OK && size >= 16)
            std::memcpy(&source, format.data(), 16);
        s.preferred = source;
    }
    const INT_PTR result =
        win::dialogs::dialog_box(audio_dialog_template(), nullptr, owner, audio_proc, LPARAM(&s));
    if (result != IDOK || s.picked.empty()) return false;
    void* block = std::malloc(s.picked.size());
    if (!block) return false;
    std::memcpy(block, s.picked.data(), s.picked.size());
    options.fccType = streamtypeAUDIO;
    options.fccHandler = 0;
    options.lpFormat = block;
    options.cbFormat = DWORD(s.picked.size());
    options.dwFlags = AVICOMPRESSF_VALID | (options.dwFlags & AVICOMPRESSF_INTERLEAVE);
    return true;
}

}  // namespace vfw::options
