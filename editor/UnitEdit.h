// The program editor: up to 16 documents in tabs over one editing pane, the step-number gutter,
// find and replace, printing, the compile command, the transfer menus, and the reply pane that
// shows the listing and the driver's answers to the editor's commands.
#pragma once

#include "link/Exchange.h"
#include "link/UnitGeneral.h"
#include "ui/EditorPane.h"
#include "ui/FileDialogs.h"
#include "ui/Form.h"
#include "ui/Timer.h"

#include <QAction>
#include <QPlainTextEdit>
#include <array>
#include <memory>
#include <string>

class QLabel;
class QMenu;
class QSplitter;
class QStatusBar;
class QTabBar;
class QToolButton;
class TFindDialog;
class TReplaceDialog;

class TfrmEdit : public ui::Form {
    Q_OBJECT
public:
    static constexpr int kMaxDocuments = 16;
    static constexpr int kAllSlots = 0xFFFF;
    static inline const QString kNewFileCaption = "新規ﾌｧｲﾙ";
    static inline const QString kModifiedText = "変更あり";
    static inline const QString kInsertText = "挿入";
    static inline const QString kOverwriteText = "上書き";

    explicit TfrmEdit(QWidget* owner);
    ~TfrmEdit() override;

    // Panes: the document being edited, the step-number gutter left of it, the hidden table that
    // collects uploaded rows, and the reply pane below.
    ui::EditorPane* memMain2;
    ui::EditorPane* memMain;
    ui::EditorPane* memUploadData;
    QPlainTextEdit* memSub;
    QTabBar* pgeEdit; // tab n belongs to document slot n
    QSplitter* Splitter1;
    QStatusBar* StatusBar1;

    // Menu items.
    QAction* FileNewItem;
    QAction* FileOpenItem;
    QAction* FileSaveItem;
    QAction* FileSaveAsItem;
    QAction* FileCloseItem;
    QAction* FilePrintSetupItem;
    QAction* FilePrintItem;
    QAction* FileExitItem;
    QAction* EditUndoItem;
    QAction* EditCutItem;
    QAction* EditCopyItem;
    QAction* EditPasteItem;
    QAction* FindSearch;
    QAction* FindReplace;
    QAction* FontName;
    QAction* RunCompileItem;   // ｺﾝﾊﾟｲﾙ, F9
    QAction* RunCompileKey;    // the separator's F8
    QAction* HelpContentsItem; // the three help items stay disabled
    QAction* HelpSearchItem;
    QAction* HelpHowToItem;
    QAction* HelpAboutItem;

    // Transfer items of the Run menu and of the tool buttons' drop-down menus. Their handlers
    // belong to the transfers; the shell shows or hides them by series.
    QAction* RunSendItem;
    QAction* RunDownloadItem;
    QAction* RunDownloadCamItem;
    QAction* RunDownloadDataItem;
    QAction* RunUpLoadMailBox;
    QAction* RunUploadItem;
    QAction* RunUpLoadLogData;
    QAction* RunUpLoadCam;
    QAction* RunUpLoadData;
    QMenu* PopupMenu2; // downloads
    QAction* btnPopupDownLoadProgram;
    QAction* btnPopupDownLoad;
    QAction* btnPopupDownLoadCamData;
    QAction* btnPopupDownLoadCorrectData;
    QMenu* PopupMenu1; // uploads
    QAction* btnPopupUpLoadProgram;
    QAction* btnPopupUpLoad;
    QAction* btnPopupUpLoadLogData;
    QAction* btnPopupUpLoadCamData;
    QAction* btnPopupUpLoadCorrectData;
    QToolButton* btnSendToKaso;
    QToolButton* btnUpload;
    QToolButton* btnMailC;

    ui::FileDialog OpenDialog{ui::FileDialog::Kind::Open};
    ui::FileDialog SaveDialog{ui::FileDialog::Kind::Save};
    TFindDialog* FindDialog;
    TReplaceDialog* ReplaceDialog;

    ui::Timer* Timer1; // 100 ms pacing
    ui::Timer* Timer2; // 10 ms pacing

    // Document slots. DocText holds, exactly, the text of every document that is not in the
    // pane (and of the one in the pane as it was when last left).
    std::array<QString, kMaxDocuments> DocText;
    std::array<QString, kMaxDocuments> DocFileName; // full name; empty: none
    std::array<int, kMaxDocuments> DocModified{};   // 1: unsaved changes
    int CurrentDoc = 0;
    int UsedSlots = 0; // bit n: slot n occupied
    int MaxLineWidth = 0;
    int SavedLineCount = 0;
    bool RenumberPending = false;
    int EventStepCount = 0;
    int SequenceStepCount = 0;

    // The pane's modified flag together with the per-document marks.
    bool HasUnsavedDocuments() const;

    // Status bar panels: 0 caret position, 1 modified mark, 2 typing mode.
    QString PanelText(int panel) const;
    void SetPanelText(int panel, const QString& text);

    // Tabs, changed by code (no tab-change handler runs).
    QString TabCaption(int slot) const;
    void SetTabCaption(int slot, const QString& caption);
    void ShowTab(int slot, bool visible);
    void ActivateTab(int slot);
    int ActiveTab() const { return activeTab_; }

    // Documents, for the commands here and the transfers: the lowest free slot (its bit is then
    // set), or -1 when all are in use; storing the pane into the active tab's slot; bringing a
    // slot's text into the pane with the gutter, width and caret panel brought up to date.
    int TakeFreeSlot();
    void StorePane();
    // Makes `slot` the current document as a new upload's, marked modified, with an empty
    // collecting pane.
    void OpenUploadDocument(int slot, const QString& caption);
    void RestoreDocument(int slot);
    void RecomputeMaxLineWidth();

    // Step numbers and the pane's aids.
    void RenumberSteps();
    void memMain2Change(QObject* sender);
    void UpdateCaretPanel();
    void UpdateScrollBars();

    // Commands.
    void FileNew();
    void FileOpen();
    void FileSave();
    void FileSaveAs();
    void FileClose();
    void FilePrintSetup();
    void FilePrint();
    void FileExit();
    void EditUndo();
    void EditCut();
    void EditCopy();
    void EditPaste();
    void FontNameClick();
    void FindSearchClick();
    void FindReplaceClick();
    void btnMailCClick();
    void HelpAbout();

    // Adds one reply line to the reply pane.
    void AddReply(const QString& line);

    // The reply steps of the data upload and the program upload.
    void ReceiveUpLoadData(QObject* sender);
    void btnPopupUpLoadProgramClick(QObject* sender);

    // The program download (EditProgramTransfer.cpp): the menu command hides the driver screens
    // and runs DownLoadProgram, which returns when the run has ended, was refused, failed or was
    // cancelled.
    void btnPopupDownLoadProgramClick(QObject* sender);
    void DownLoadProgram();
    // True while a program download or upload runs; another transfer command does nothing then.
    bool ProgramTransferRunning() const { return downloadRunning_ || uploadSlot_ >= 0; }

    // Data upload and download (EditDataTransfer.cpp, EditDataUpload.cpp): the menu commands
    // that preset and show the dialogs, the upload's kind (1 internal variables, 2 logging
    // data, 3 cam data, 4 correction data; 0 after a program upload command), the designated
    // axis's bit, and the stop flags of the dialogs' stop buttons.
    int UploadKind = 0;
    int AxisBit = 0;
    bool UploadStopRequested = false;
    bool DownloadStopRequested = false;
    void btnPopupUpLoadClick();
    void btnPopupUpLoadLogDataClick();
    void btnPopupUpLoadCamDataClick();
    void btnPopupUpLoadCorrectDataClick();
    void btnPopupDownLoadClick();
    void btnPopupDownLoadCamDataClick();
    void btnPopupDownLoadCorrectDataClick();
    // Writes the lines of the document on screen into driver memory from the download
    // dialog's start address; returns when the run has ended.
    void SendDownLoadData(QObject* sender);
    // The download dialog's stop: the run ends at once, saying where it stopped.
    void StopDataDownload();
    // Shows and enables the collecting table, or hides and disables it.
    void ShowUploadCollector(bool shown);
    // Ends a running upload as a stop does, at once: the rows received so far become the
    // upload's document. Nothing when no upload runs.
    void EndDataUpload();
    bool DataUploadRunning() const { return uploadPhase_ != UploadPhase::Idle; }
    bool DataDownloadRunning() const { return dataDownloadRunning_; }
    // True while any program or data transfer holds the line; no other transfer starts then.
    bool TransferRunning() const {
        return ProgramTransferRunning() || DataUploadRunning() || DataDownloadRunning();
    }

    // The upload engine: the number of the value the next reply carries (from 1), the start
    // address and its form, the position of the next value in its row and the row being built.
    long long UploadIndex = 0;
    unsigned int UploadStartAddress = 0;
    int UploadAddressKind = 0;
    int UploadSetPosition = 0;
    QString UploadPendingRow;

protected:
    void FormActivate() override;
    bool FormCloseQuery() override;
    void FormClose() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void WireProgramTransfers();
    void StartProgramUpload();
    void ReceiveProgramLine();
    void EndProgramUpload(bool completed);
    void ShowUploadedText(const QString& text, bool caretOnLastLine);
    void ScrollUploadTable();
    // A row of a download that was refused or failed, in the reply pane: where the row stands in
    // its document, in place of the pane's first line, and its text below what the pane holds.
    void ShowFailedRow(const QString& document, int row, const QString& text);
    // A row that would not reach the driver as the document holds it: the failed row, and the
    // message that names it and the character it cannot send.
    void ShowUnsendableRow(const QString& document, int row, const QString& text);

    void BuildMenus(class QMenuBar* menus);
    void BuildTools(class QWidget* bar);
    void BuildPanes();
    void WireHandlers();
    void ApplyPaneFont(const QFont& font);
    void LayOutGutter();

    void pgeEditChange(int index);
    void memMain2KeyDown(const ui::EditorPane::Key& key);
    void memMain2KeyUp(const ui::EditorPane::Key& key);
    void memMain2MouseDown();
    void memMain2TopRowChange();
    bool EditorWindowProc(int wheelDelta);
    void MarkModifiedByUser();

    void FindDialogFind();
    void ReplaceDialogFind();
    void ReplaceDialogReplace();
    void ReplaceAll(const QString& findText, const QString& replaceText);
    void ShowNotFound();

    bool SaveCurrentDocument();
    bool DocumentSavable(int slot, const QStringList& lines) const;
    bool WriteDocument(int slot, const QStringList& lines);
    void ClearCurrentDocument();

    // The data upload (EditDataUpload.cpp). What the dialog held when the upload started is
    // kept for the whole run, so an edit of a box mid-run cannot garble the rows.
    enum class UploadPhase { Idle, Starting, Collecting };
    struct UploadRun {
        int slot = -1;          // the upload's own document
        long long values = 0;   // N: sets x items per set
        int itemsPerSet = 1;    // k
        bool halfSteps = false; // the driver's addresses step by half
        int hexDigits = 8;      // digits of the row labels
        std::string prefix;     // of the start address
        int lossesAtStart = 0;  // line losses counted when it started
    };
    void WireDataTransfers();
    void StartDataUpload();
    void StepDataUpload();
    void AbortDataUpload();
    bool ReadUploadCounts(long long& sets, int& itemsPerSet);
    bool QueryForUpload(const QByteArray& command, QByteArray& reply);
    bool ReadLoggingHeader();
    void AppendUploadRow(const QString& row);
    void KeepCollectorInView();
    void PutUploadIntoDocument();
    UploadPhase uploadPhase_ = UploadPhase::Idle;
    UploadRun uploadRun_;

    // The data download (EditDataTransfer.cpp): how its run of values ended, short of a lost
    // line, a failed send or a cancel, which its exchange has told of (Ended).
    enum class DownloadEnd { Completed, Answered, Unconfirmed, TooLong, Stopped, Ended };
    // The download commands' check: false when the dialog may not be preset now (a running
    // download's dialog is shown again as it stands; another transfer is refused).
    bool DownloadDialogFree();
    DownloadEnd WriteDownloadValues(const QStringList& lines, const QString& document,
                                    const QByteArray& address, WriteRun& run, qsizetype& sent,
                                    QString& unconfirmed);
    // Ends a running download of the document in `slot` (its document or the editor closes) and
    // closes its dialog.
    void EndDataDownloadOf(int slot);
    bool dataDownloadRunning_ = false;
    int downloadSlot_ = -1; // the document a running download sends

    std::array<QLabel*, 3> panels_{};
    int gutterWidth_ = 38;
    int activeTab_ = 0;
    bool tabsByCode_ = false;

    bool downloadRunning_ = false;
    int uploadSlot_ = -1; // the document a program upload fills; -1: none running
    // The program upload's chain, the program and data downloads, and the data upload from its
    // model query to its last value, each to the axis designated when it started.
    std::unique_ptr<Exchange> programUpload_;
    std::unique_ptr<Exchange> programDownload_;
    std::unique_ptr<Exchange> dataDownload_;
    std::unique_ptr<Exchange> dataUpload_;
};

extern TfrmEdit* frmEdit;
