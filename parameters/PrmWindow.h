// What the parameter list window and the parameter lock window share: the grid of names, values
// and reference values, the button panels, the guide pane, and the read and write of all
// parameters with the driver (a reply-driven query chain, and assignment lines sent one after
// the other). Each window says how it differs through the hooks below.
#pragma once

#include "link/Exchange.h"
#include "link/UnitGeneral.h"
#include "ui/Controls.h"
#include "ui/Form.h"
#include "ui/StringGrid.h"
#include "ui/Timer.h"

#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <array>

class QHBoxLayout;

class TPrmWindow : public ui::Form {
    Q_OBJECT
public:
    // The read's replies come under `readId`.
    TPrmWindow(QWidget* owner, int rowCount, TRequestId readId);

    static inline const QString kNameHeader = "        ﾊﾟﾗﾒｰﾀ名称";
    static inline const QString kHeaderKaso = "       KASO";
    static inline const QString kHeaderKaso2 = "       KASO2";

    ui::StringGrid* grdPrm;
    QPushButton* btnReadPrm;
    QPushButton* btnSendPrm;
    QPushButton* btnOpenForSndPrm;
    QPushButton* btnSavePrm;
    QPushButton* btnSave; // print
    QLabel* Label1;
    QLabel* Label3; // the "2" after "KASO"
    QLabel* Label2;
    QPushButton* btnOpen; // reference file
    QLabel* Label4;
    ui::CheckBox* PrmGuide_Checkbox;
    QTextEdit* RichEdit1; // the guide pane
    ui::Timer* Timer1;    // 1 ms ticks before the "#0" queries
    ui::Timer* Timer2;    // 250 ms reply wait

    int OpenColumn = 1;
    QByteArray PrevReply0;
    int Busy = 0;
    QByteArray ModelText;
    int ElapsedMs = 0;

    // The counters of the running read.
    int ReadIndex = 0;
    int QueryNumber = 0;
    int PrmCount = 0;

    // The number of parameters of this window for ModelText and the series.
    virtual int ParameterCount() const = 0;

    void btnReadPrmClick();
    void ReceivePrm(QObject* sender);
    void btnSendPrmClick();
    void btnSavePrmClick();
    void btnOpenPrmClick(QObject* sender);
    void btnFileSavePrmClick();

    // The rows the file and print handlers work on; the list window also sets its row count.
    virtual int FileParameterCount() = 0;
    void PrmGuide_CheckboxClick();

    // Clears the guide pane and writes the guide of a grid row.
    virtual void ShowGuide(int row) = 0;
    // Recolours the reference values (red where they differ from the value beside them).
    virtual void RefreshMarks();
    void RefreshRowMark(int row);

    // Rows 60, 62 and 64 (#059, #061, #063) are never written nor marked.
    static bool IsUnmarkedRow(int row) { return row == 60 || row == 62 || row == 64; }

protected:
    virtual TRequestId WriteRequestId() const = 0;
    // Whether parameter `number` is left out of a write.
    virtual bool NeverWritten(int number) const = 0;
    // The value-column header a read writes (empty: unchanged).
    virtual QString ReadHeader() const = 0;
    virtual bool ReadSetsRowCount() const = 0;
    // Runs before the model query of a read.
    virtual void BeforeRead() {}
    // The lock window disables its lock list while a transfer runs.
    virtual void SetTransferRunning(bool) {}
    virtual TPrmWindow* Twin() const = 0;
    // The longest value the file reader takes, and the record that sets the printout's columns.
    virtual int FileValueLimit() const = 0;
    virtual QString PrintSampleName() const = 0;

    // Places the grid (its left edge and width at 96 pixels per inch), sets its fonts, row
    // pitch and column widths (shares of the width), and fixes the window's width to it.
    void SetUpGrid(int left, int width, std::array<double, 3> columnShares);
    // The window and its controls, laid out at 96 pixels per inch, scaled to the screen.
    void ScaleToScreen();

    // One row of the grid, a grid line included; the lock list's items have the same pitch.
    static constexpr int kRowPitch = 17;
    static constexpr int kPanelTop = 6;
    static constexpr int kPanelHeight = 46;
    static constexpr int kGridTop = 60;
    static constexpr int kClientHeight = 373;
    QHBoxLayout* gridRow_ = nullptr; // the grid, and the lock list's room in the lock window

    virtual void grdPrmSelectCell(int col, int row, bool& canSelect);
    void FormActivate() override;

private:
    void BuildPanels();
    // The grid reaches down to the guide pane, or to 3 pixels above the bottom edge without it.
    void SetGuideHeights();
    bool QueryModel();
    bool ValuesSendable() const;
    bool SendValues(int count);
    static QString RowPlace(int k);
    void MarkNotWritten(int row, bool notWritten);
    void NoAnswerPath();
    void StartQueryChain();
    void HandleReply();
    void SendQuery(const QByteArray& line);
    void ReturnToIdle();
    bool LoadFile(const QString& path);
    QStringList Column(int col, int rows) const;
    bool readRunning_ = false;
    int lossesAtStart_ = 0; // the data module's count of lost lines when the transfer began
    Exchange exchange_;     // the read's or the write's, with the axis it started for
    WriteRun writeRun_;     // what became of each value of the last write
    bool writing_ = false;
};

// Replaces a guide pane's text with `lines`, shown from its first (name) line.
void WriteGuide(QTextEdit* pane, const QStringList& lines);

// A value as it goes into an assignment line: control characters (a pasted line end, say) are
// taken out so that one cell never makes more than one command line; a character with no CP932
// code raises EUnsendableText.
QByteArray PrmValueForLine(const QString& cellText);
