#pragma once
// The shell's folder picker with a start folder preselected.
#include <windows.h>

class CFolderBrowser {
public:
    // Keeps the start folder (at most MAX_PATH - 1 characters, trailing
    // backslashes removed except the one of a drive root) and the owner window,
    // and initialises COM for the dialog.
    CFolderBrowser(const char* initialFolder, HWND owner);
    virtual ~CFolderBrowser();
    CFolderBrowser(const CFolderBrowser&) = delete;
    CFolderBrowser& operator=(const CFolderBrowser&) = delete;

    // Shows the picker with the caption (at most 300 characters; null: the
    // program's "Choose directory" text). 1 when a file-system folder was chosen
    // (GetFolder then answers its path), 2 when cancelled or the picker could
    // not start.
    virtual int Browse(const char* caption);

    const char* GetFolder() const { return m_folder; }

    // The picker's callback; data is the browser. On initialisation a start
    // folder that exists is selected and OK is enabled only in that case; on a
    // selection change OK is enabled only for a folder with a file-system path.
    static int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM param, LPARAM data);

protected:
    char m_folder[MAX_PATH];
    HWND m_owner;

private:
    bool m_comStarted;
};
