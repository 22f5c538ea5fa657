// The compile command: the temporary source named after the tab, the compiler of the series, the
// compiled program and listing in the document's folder, the listing in the reply pane.
#include "EditorTestFixture.h"

#include "editor/EditCompile.h"
#include "shell/UnitSetup.h"
#include "ui/Codec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QToolButton>

namespace {

QByteArray Golden(const QString& name) {
    QFile file(QString(KASO_GOLDEN_DIR) + "/" + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString ListingText(const QByteArray& bytes) {
    QString text = ui::cp932::Decode(bytes);
    text.replace("\r\n", "\n");
    if (text.endsWith('\n')) text.chop(1);
    return text;
}

class EditorCompileTest : public EditorTest {
protected:
    // Puts a golden source under the given name in a folder of its own and opens it there.
    void OpenSource(const QString& golden, const QString& name) {
        QDir(workDir.path()).mkpath("src");
        WriteFile("src/" + name, Golden(golden));
        Open("src/" + name);
    }
    QString Listing() const { return frmEdit->memSub->toPlainText(); }
};

TEST(CompileNames, TheCaptionNamesTheFilesInTheDocumentsFolder) {
    const QString here = QDir::current().absolutePath();
    const auto names = [](const QString& caption, const QString& fileName) {
        const auto files = editor::CompileFileNames(caption, fileName);
        return files ? files->source + " " + files->listing + " " + files->compiled
                     : QString("refused");
    };
    EXPECT_EQ(names("PROG.MB", "/data/src/PROG.MB"),
              "/data/src/PROG.tmp /data/src/PROG.lst /data/src/PROG.mbx");
    EXPECT_EQ(names("PROG", "/data/PROG"), "/data/PROG.tmp /data/PROG.lst /data/PROG.mbx");
    EXPECT_EQ(names("a.b.txt", "/x/a.b.txt"), "/x/a.b.tmp /x/a.b.lst /x/a.b.mbx");
    EXPECT_EQ(names("PROG.MBX", "/x/PROG.MBX"), "/x/PROG.tmp /x/PROG.lst /x/PROG.mbx");
    EXPECT_EQ(names("PROG.mbx", "/x/PROG.mbx"), "refused");
    EXPECT_EQ(names("x.mbx.MB", "/x/x.mbx.MB"), "/x/x.mbx.tmp /x/x.mbx.lst /x/x.mbx.mbx");
    // Bare names (the first new document, an uploaded text) are saved in the current folder.
    EXPECT_EQ(names("ﾌﾟﾛｸﾞﾗﾑﾘｽﾄ", "ﾌﾟﾛｸﾞﾗﾑﾘｽﾄ"),
              here + "/ﾌﾟﾛｸﾞﾗﾑﾘｽﾄ.tmp " + here + "/ﾌﾟﾛｸﾞﾗﾑﾘｽﾄ.lst " + here + "/ﾌﾟﾛｸﾞﾗﾑﾘｽﾄ.mbx");
}

TEST_F(EditorCompileTest, ADocumentFromAnotherFolderCompilesInItsOwnFolder) {
    frmSetup->cmbModelType->SetItemIndex(2);
    OpenSource("gen2_jumps.MB", "PROG.MB");
    frmEdit->AddReply("old");
    frmEdit->btnMailC->click();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(ReadFile("src/PROG.mbx"), Golden("gen2_jumps.mbx"));
    EXPECT_EQ(ReadFile("src/PROG.lst"), Golden("gen2_jumps.lst"));
    EXPECT_FALSE(FileExists("src/PROG.tmp"));
    EXPECT_FALSE(FileExists("PROG.mbx"));
    EXPECT_FALSE(FileExists("PROG.lst"));
    EXPECT_FALSE(FileExists("PROG.tmp"));
    EXPECT_EQ(Listing(), ListingText(Golden("gen2_jumps.lst")));
}

TEST_F(EditorCompileTest, AFailedCompileLeavesNoOlderProgramAndShowsItsOwnListing) {
    frmSetup->cmbModelType->SetItemIndex(2);
    OpenSource("gen2_jumps.MB", "PROG.MB");
    frmEdit->btnMailC->click();
    ASSERT_EQ(ReadFile("src/PROG.mbx"), Golden("gen2_jumps.mbx"));

    // The same document, now with an error: the earlier program must not stay for a download.
    frmEdit->memMain2->SetRowCol(0, 0);
    TypeText("()NOSUCHWORD 1\r");
    frmEdit->btnMailC->click();
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(FileExists("src/PROG.mbx"));
    EXPECT_EQ(Listing(), ListingText(ReadFile("src/PROG.lst")));
    EXPECT_FALSE(Listing().startsWith("コンパイル終了"));
}

TEST_F(EditorCompileTest, AListingThatCannotBeWrittenIsReported) {
    frmSetup->cmbModelType->SetItemIndex(2);
    QDir(workDir.path()).mkpath("src/P.lst/x"); // the listing's name is taken by a folder
    OpenSource("gen2_jumps.MB", "P.MB");
    frmEdit->AddReply("old");
    frmEdit->btnMailC->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(LastMessage().icon, ui::MsgIcon::Error);
    EXPECT_TRUE(LastMessage().text.startsWith("リストファイルを書き込めませんでした。"));
    EXPECT_EQ(Listing(), "");
    EXPECT_FALSE(FileExists("src/P.tmp"));
}

TEST_F(EditorCompileTest, FirstSeriesCompilesWithTheShippedLibraries) {
    frmSetup->cmbModelType->SetItemIndex(0);
    OpenSource("gen1_shipped_library.MB", "P1");
    frmEdit->RunCompileItem->trigger();
    EXPECT_EQ(Listing(), ListingText(Golden("gen1_shipped_library.lst")));
    EXPECT_EQ(ReadFile("src/P1.mbx"), Golden("gen1_shipped_library.mbx"));
    EXPECT_FALSE(FileExists("src/P1.tmp"));

    // The same second-generation program compiles apart under each generation.
    OpenSource("gen2_jumps.MB", "J.MB");
    frmEdit->RunCompileItem->trigger();
    EXPECT_NE(Listing(), ListingText(Golden("gen2_jumps.lst")));
    frmSetup->cmbModelType->SetItemIndex(1);
    frmEdit->RunCompileItem->trigger();
    EXPECT_EQ(Listing(), ListingText(Golden("gen2_jumps.lst")));
}

TEST_F(EditorCompileTest, CompiledProgramsAndNewDocumentsAreRefused) {
    OpenSource("gen2_jumps.mbx", "PROG.mbx");
    frmEdit->AddReply("old");
    frmEdit->btnMailC->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(LastMessage().text, "このファイルはMBXファイルの為\nコンパイルできません。");
    EXPECT_EQ(LastMessage().caption, "コンパイルエラー");
    EXPECT_EQ(LastMessage().icon, ui::MsgIcon::Information);
    EXPECT_EQ(Listing(), "");
    EXPECT_FALSE(FileExists("src/PROG.tmp"));

    frmEdit->FileNewItem->trigger();
    frmEdit->btnMailC->click();
    EXPECT_EQ(LastMessage().text, "ファイル名を変更してからコンパイルを行ってください。");
    EXPECT_EQ(LastMessage().icon, ui::MsgIcon::Exclamation);
    EXPECT_EQ(QDir(workDir.path()).entryList(QDir::Files), QStringList());
}

TEST_F(EditorCompileTest, FirstDocumentCompilesUnderItsBareName) {
    frmSetup->cmbModelType->SetItemIndex(3);
    TypeText("EV\r()SVON\r/EV");
    frmEdit->RunCompileKey->trigger();
    EXPECT_TRUE(FileExists("新規ﾌｧｲﾙ.lst"));
    EXPECT_TRUE(FileExists("新規ﾌｧｲﾙ.mbx"));
    EXPECT_FALSE(FileExists("新規ﾌｧｲﾙ.tmp"));
    EXPECT_EQ(Listing(), ListingText(ReadFile("新規ﾌｧｲﾙ.lst")));
    EXPECT_TRUE(Listing().startsWith("コンパイル終了"));
}

TEST_F(EditorCompileTest, UnwritableTemporarySourceIsReportedAndNothingCompiled) {
    QDir(workDir.path()).mkpath("src/P.tmp");         // the name is taken by a folder
    WriteFile("src/P.mbx", Golden("gen2_jumps.mbx")); // an earlier compile's program
    OpenSource("gen2_jumps.MB", "P.MB");
    frmEdit->AddReply("old");
    frmEdit->btnMailC->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(LastMessage().icon, ui::MsgIcon::Error);
    EXPECT_EQ(Listing(), "");
    EXPECT_FALSE(FileExists("src/P.lst"));
    EXPECT_FALSE(FileExists("src/P.mbx"));
    EXPECT_TRUE(QFileInfo(Path("src/P.tmp")).isDir());
}

} // namespace
