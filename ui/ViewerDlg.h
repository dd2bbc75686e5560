#pragma once
// The main window: the whole user interface of the viewer. It owns the state of
// the run: the loaded archive, its clip table and disc, the initial folder of the
// file dialogs and the temporary clip file.
#include "framework/Afx.h"
#include "ui/res/resource.h"

#include "catalogue/ClipTable.h"
#include "catalogue/DiscIdentity.h"

class CProgressDlg;

class CViewerDlg : public CDialog {
public:
    enum { IDD = IDD_MAIN };

    explicit CViewerDlg(CWnd* pParent = NULL);

    BOOL DestroyWindow() override;

    // Reads the game's data folder from the registry into m_szInitialDir; leaves
    // it as it was when the folder is not there.
    void LocateDataDirectory();

    // Copies the encoding that m_nResolution names of clip nClip of the loaded
    // archive into pszOutput, reporting each 1 MiB chunk to pProgress.
    void ExtractClip(int nClip, const char* pszOutput, CProgressDlg* pProgress);

    // The state of the run, read only, for code that drives the window from outside.
    const char* GetInitialDir() const { return m_szInitialDir; }
    const char* GetArchivePath() const { return m_szArchivePath; }
    const char* GetTempClip() const { return m_szTempClip; }
    const ClipTable& GetClips() const { return m_clips; }
    DiscId GetDisc() const { return m_disc; }
    BOOL IsFullscreen() const { return m_bFullscreen; }
    HICON GetIcon() const { return m_hIcon; }
    const CListCtrl& GetClipList() const { return m_listClips; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg void OnBrowse();
    afx_msg void OnExtract();
    afx_msg void OnView();

    DECLARE_MESSAGE_MAP()

private:
    // The clip of the selected row; -1 when no row is selected or the selection
    // mark names no clip of the table.
    int GetSelectedClip() const;
    // Runs the file dialog in m_szInitialDir; when a file was chosen, its folder
    // becomes the initial folder of both dialogs and the result is TRUE.
    BOOL AskForFile(CFileDialog& dlgFile);
    void ReadDataDrive(HKEY hKey);
    void InsertListColumns();

    // The commands use these directly.
    DiscId m_disc;
    char m_szTempClip[MAX_PATH];
    char m_szInitialDir[MAX_PATH];
    char m_szArchivePath[MAX_PATH];
    ClipTable m_clips;
    CListCtrl m_listClips;
    int m_nResolution;
    CString m_strArchive;
    CString m_strDisc;
    BOOL m_bFullscreen;
    HICON m_hIcon;
};
