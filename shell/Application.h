// The program's start-up and shut-down: the windows that live as long as the program, created in
// a fixed order and deleted the last created first.
#pragma once

#include <QApplication>
#include <memory>

// Creates the data module, the main window (which creates its own eight windows, loads the
// settings and opens the port) and the windows that follow it.
void CreateApplicationWindows();

// Deletes what CreateApplicationWindows made, the last created first; the main window's
// deletion closes the port and writes the settings.
void DeleteApplicationWindows();

// The application object as the program makes it: on an X display whose resources set no
// Xft.dpi, with the screen's resolution as the display reports it; with Qt's own scaling, when
// on, by the whole-number quotient of the screen's dots per inch and 96; with the program's
// title; and with Qt's own texts (the standard buttons of message boxes and dialogs) in Japanese,
// as every other text of the program is.
std::unique_ptr<QApplication> MakeApplication(int& argc, char** argv);

// The whole program: single instance, windows, message loop, shut-down. Returns the exit code.
int RunKasoNT(int argc, char** argv);
