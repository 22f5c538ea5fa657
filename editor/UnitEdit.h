// The program editor: program documents, the compile command, program and data transfers, and
// the reply pane that shows the driver's answers to the editor's commands.
#pragma once

#include "ui/Form.h"
#include "ui/Timer.h"

#include <QAction>
#include <QPlainTextEdit>
#include <array>

class TfrmEdit : public ui::Form {
    Q_OBJECT
public:
    static constexpr int kMaxDocuments = 16;

    explicit TfrmEdit(QWidget* owner);

    QPlainTextEdit* memSub; // the read-only reply pane

    // Transfer items shown or hidden by series.
    QAction* RunUpLoadMailBox;
    QAction* btnPopupUpLoadProgram;
    QAction* RunDownloadItem;
    QAction* btnPopupDownLoad;
    QAction* RunDownloadCamItem;
    QAction* RunDownloadDataItem;
    QAction* RunUpLoadCam;
    QAction* RunUpLoadData;
    QAction* btnPopupUpLoadCamData;
    QAction* btnPopupUpLoadCorrectData;
    QAction* btnPopupDownLoadCamData;
    QAction* btnPopupDownLoadCorrectData;
    QAction* HelpAboutItem;

    ui::Timer* Timer1; // 100 ms pacing
    ui::Timer* Timer2; // 10 ms pacing

    // Per document: changed since it was last saved, opened or created.
    std::array<bool, kMaxDocuments> DocModified{};
    bool HasUnsavedDocuments() const;

    // Adds one reply line to the reply pane.
    void AddReply(const QString& line);

    // The reply steps of the data upload and the program upload.
    void ReceiveUpLoadData(QObject* sender);
    void btnPopupUpLoadProgramClick(QObject* sender);

    void HelpAbout();
};

extern TfrmEdit* frmEdit;
