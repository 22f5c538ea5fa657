// What the program reads from and writes to an X display: the screen's resolution where its
// resources set no Xft.dpi, and the windows' titles as the display holds them for its window
// manager. Run on X, on a display of the test's own that reports 192 dpi
// (KASONT_TEST_PLATFORM=xcb).
#include "AppTest.h"

#include "editor/UnitEdit.h"
#include "platform/DisplayResolution.h"
#include "shell/UnitMain.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace {

class XDisplayTest : public AppTest {
protected:
    static xcb_connection_t* Connection() {
        auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
        return x11 ? x11->connection() : nullptr;
    }

    static xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
        const xcb_intern_atom_cookie_t cookie =
            xcb_intern_atom(connection, 0, static_cast<uint16_t>(strlen(name)), name);
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
        return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    }

    // Sets the display's resource list, as xrdb does.
    static void SetResources(const QByteArray& resources) {
        xcb_connection_t* connection = Connection();
        ASSERT_NE(connection, nullptr);
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        if (resources.isEmpty())
            xcb_delete_property(connection, root, XCB_ATOM_RESOURCE_MANAGER);
        else
            xcb_change_property(connection, XCB_PROP_MODE_REPLACE, root, XCB_ATOM_RESOURCE_MANAGER,
                                XCB_ATOM_STRING, 8, static_cast<uint32_t>(resources.size()),
                                resources.constData());
        free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }

    // The window's _NET_WM_NAME, the title a window manager shows, once Qt has set it.
    static QString TitleOnX(QWidget& window) {
        xcb_connection_t* connection = Connection();
        if (!connection) return "(not on X)";
        QString title;
        WaitFor([&] {
            xcb_flush(connection);
            const xcb_get_property_cookie_t cookie = xcb_get_property(
                connection, 0, static_cast<xcb_window_t>(window.winId()),
                Atom(connection, "_NET_WM_NAME"), Atom(connection, "UTF8_STRING"), 0, 1024);
            std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
                xcb_get_property_reply(connection, cookie, nullptr), &std::free);
            if (!reply) return false;
            title = QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(reply.get())),
                                      xcb_get_property_value_length(reply.get()));
            return !title.isEmpty();
        });
        return title;
    }
};

// The captions alone: nothing of the program's name is appended.
TEST_F(XDisplayTest, TitlesAreTheCaptionsAlone) {
    WriteSetting("Comm", "TransmitCheck", 2);
    StartProgram();
    frmMain->Show();
    EXPECT_EQ(TitleOnX(*frmMain).toStdString(), "kasoｽﾀｼﾞｵ");
    frmMain->btnEdit->click();
    ASSERT_TRUE(frmEdit->isVisible());
    EXPECT_TRUE(frmEdit->windowTitle().endsWith("編集"));
    EXPECT_EQ(TitleOnX(*frmEdit).toStdString(), frmEdit->windowTitle().toStdString());
}

} // namespace

// The screen's resolution counts while the display's resources set no Xft.dpi, other resources
// or not; once they set it, Qt's reading of it stands.
TEST_F(XDisplayTest, TheScreensResolutionCountsWithoutXftDpi) {
    ASSERT_NE(Connection(), nullptr) << "run on X";
    const QScreen* screen = QGuiApplication::primaryScreen();
    EXPECT_EQ(screen->logicalDotsPerInchX() * screen->devicePixelRatio(), 192); // Qt was told
    EXPECT_EQ(platform::ScreenResolutionWithoutXftDpi(), 192);
    SetResources("Xft.antialias:\t1\nXft.dpiScale: 2\n*dpi: 96\n");
    EXPECT_EQ(platform::ScreenResolutionWithoutXftDpi(), 192);
    SetResources("Xft.antialias:\t1\n  Xft.dpi :\t96\n");
    EXPECT_EQ(platform::ScreenResolutionWithoutXftDpi(), std::nullopt);
    SetResources("Xft.dpi:\t144\n");
    EXPECT_EQ(platform::ScreenResolutionWithoutXftDpi(), std::nullopt);
    SetResources({});
    EXPECT_EQ(platform::ScreenResolutionWithoutXftDpi(), 192);
}
