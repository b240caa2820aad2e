#pragma once
// What the handlers need of the desktop beyond the window's properties: the results browser, hover
// tips, message boxes, opening links and ending the program. src/gtk/ implements it; tests fake it.

#include <cstdint>
#include <string>
#include <vector>

#include "app/text.h"

namespace sousuo {

/// A rectangle in screen pixels.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

class Desktop {
public:
    virtual ~Desktop() = default;

    /// Asks resultsBrowser to open the address (a Text, converted to UTF-8 on the way) and returns
    /// at once; the page loads in the background. Window thread only.
    virtual void navigateBrowser(const Text& address) = 0;

    /// Creates the process's one hover-tip window with its style fixed for good. False when it
    /// cannot be created. Window thread only.
    virtual bool createTipWindow(bool balloon) = 0;

    /// Registers one more tool on the tip window: while the pointer rests on the control named by
    /// the handle, the tip shows the text. Window thread only.
    virtual void addTipTool(std::intptr_t controlHandle, const Text& text, bool centred) = 0;

    /// Shows a message box with one OK button and no parent window, so MainWindow stays usable,
    /// and returns when the user has closed it. Text and title are Text. Any thread.
    virtual void showMessageBox(const Text& text, const Text& title) = 0;

    /// Opens a UTF-8 URI with the desktop's default handler, without a shell. Any thread.
    virtual bool openUri(const std::string& uri) = 0;

    /// The monitors' areas in screen pixels, the primary monitor first. Window thread.
    virtual std::vector<ScreenRect> monitors() = 0;

    /// Ends the program with the exit code. In the real program this never returns; from a thread
    /// other than the window thread it hands the end to the window thread and waits there for good.
    virtual void endProgram(int exitCode) = 0;
};

}  // namespace sousuo
