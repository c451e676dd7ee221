#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/Rect.h"
#include "framework/core/RefHolder.h"
#include "framework/os/Display.h"
#include "framework/os/Messages.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/Image.h"
#include "framework/platform/MessageHandler.h"
#include "framework/platform/Task.h"

class Clipboard;
class Clock;
class Cursor;
class EventSource;
class InstanceLock;
class MessageBox;

// The operating-system services the game window works through; all must be given and must
// outlive the window.
struct WindowServices {
    Display* display = nullptr;
    EventSource* events = nullptr;
    Cursor* cursor = nullptr;
    Clipboard* clipboard = nullptr;
    MessageBox* messageBox = nullptr;
    Clock* clock = nullptr;
};

// The game's one window and its display: opens in a window or full screen (with one retry in
// the other mode), owns the back buffer everything is drawn into and presents it every frame as
// a task, runs the window procedure over the window's messages, announces activation changes
// to the message listeners with the private messages, keeps the cursor and the clipboard, and
// tells the main loop whether the game is inactive (`isPaused`).
class GameWindow : public Task {
    QUOVEL_TYPE(GameWindow)
public:
    static constexpr const char* ERROR_TITLE = "Error";
    static constexpr const char* ERROR_TEXT =
        "Something went wrong with creating the game-window.\nThis game will quit now.";
    // Milliseconds of frames between two looks for a raise request: each look asks the system,
    // and a second copy may well wait that long for the window to come forward.
    static constexpr int32_t RAISE_CHECK_MS = 200;

    explicit GameWindow(const WindowServices& services);
    ~GameWindow() override;
    GameWindow(const GameWindow&) = delete;
    GameWindow& operator=(const GameWindow&) = delete;

    // Makes the global instance (with a reference), opens it and, unless `showNow` is false,
    // shows it. Returns the instance even when opening failed (the quit message is then posted).
    static GameWindow* createInstance(const WindowServices& services, const std::string& title,
                                      int32_t width, int32_t height, bool fullScreen,
                                      int32_t bytesPerPixel, int32_t iconId, bool showNow = true);
    static GameWindow* getInstance();
    // The instance's message handler, or null when there is no window.
    static MessageHandler* instanceMessages();
    // Destroys the window and drops the global instance.
    static void releaseInstance();

    // True when another copy runs (it has been asked to come forward) and this one must end.
    // Otherwise this copy keeps the lock, which must live as long as the process, and the
    // display-version probe runs.
    static bool checkSingleInstance(InstanceLock& lock, Display& display);
    // The lock whose raise requests the window answers; null for none.
    static void setInstanceLock(InstanceLock* lock);
    // What the probe of the single-instance check found; 0 before it ran.
    static uint32_t getDisplayVersion();
    // Whether the next failure to open is final. Cleared by every successful open.
    static bool isOpenRetried();
    static void setOpenRetried(bool value);

    // Clipboard text of the global window; false (or empty) without one.
    static bool setClipboardText(const std::string& text);
    static std::string getClipboardText();

    // Stores the title, size and requested depth (0: the desktop's), forces full screen when the
    // screen is no larger than the window, and opens.
    virtual bool initialise(const std::string& newTitle, int32_t newWidth, int32_t newHeight,
                            bool newFullScreen, int32_t bytesPerPixel);
    // Makes the window and its display. The first failure retries once in the other mode; the
    // second shows the "Error" box and posts the quit message. False when not open.
    virtual bool open();
    virtual void show();
    // Shows the back buffer; sleeps 10 ms instead while paused or switching.
    virtual void present();
    // Puts the window, frame included, in the middle of the screen.
    virtual void centre();
    // Puts the window's frame at (x, y) on the screen (kept as the position); a full-screen
    // window covers the screen and only keeps the position for later.
    virtual void moveWindow(int32_t newX, int32_t newY);
    virtual void destroyWindow();
    // Destroys and opens again (showing the window again if it was shown).
    virtual void recreateWindow();
    // What closing does when no scene answers it: the window goes and the quit message follows.
    virtual void closeWindow();
    // The window procedure: every message goes to the message listeners first.
    virtual void windowProcedure(const MessageRecord& record);

    // Presents the back buffer, after answering a waiting raise request (looked for on the
    // first frame, then once every RAISE_CHECK_MS of frames), unless the frame is the one already
    // on screen: a back buffer nothing was drawn into since it was shown is neither compared,
    // uploaded nor shown again, and one drawn again with the same picture is not shown again
    // either (the window's own repaint requests still show it).
    void update(int32_t elapsedMs) override;
    // Whether the back buffer holds the picture as it stood at the change count (see
    // PictureChanges) when it was last drawn; false while nothing was drawn into this buffer.
    bool holdsPicture(uint64_t changeCount) const {
        return backBuffer && drawnPicture == changeCount;
    }
    // The render pass drew the picture as it stood at the change count.
    void setDrawnPicture(uint64_t changeCount) { drawnPicture = changeCount; }
    // The render pass changed the back buffer inside `rectangles` alone, taking its change
    // count from `before` to `after`. While nothing else draws into the back buffer, the next
    // update compares, uploads and shows only the damaged rectangles.
    void addDamage(const std::vector<Rect>& rectangles, uint64_t before, uint64_t after);
    // Brings the window forward when a second copy asked for it; true when it did.
    bool answerRaiseRequest();
    // A pause inside a blocking wait of the main thread: the system's queue is serviced, so the
    // window keeps answering the desktop, then the window's clock sleeps. No message is taken.
    void waitServicingSystem(uint32_t milliseconds);

    // The back buffer's drawing context; null while the depth has none or nothing is open.
    Graphics* getGraphics() const { return backBufferGraphics.get(); }
    Image* getBackBuffer() const { return backBuffer.get(); }
    MessageHandler* getMessageHandler() const { return messageHandler.get(); }

    // The window's position: its frame's top left on the screen. The setters keep the value
    // only; moveWindow moves.
    void setX(int32_t value) { x = value; }
    void setY(int32_t value) { y = value; }
    int32_t getX() const { return x; }
    int32_t getY() const { return y; }
    // Where the client area starts on the screen; 0 without a window.
    int32_t getClientScreenX() const;
    int32_t getClientScreenY() const;
    // The client area (0, 0, width, height) grown by the window's frame.
    Rect getFrameRect() const;
    // Takes the window's position from where the client area now lies (after the player moved
    // the window).
    void updateClientRect();
    bool isVSync() const { return vSync; }
    // Whether presenting waits for the vertical blank.
    void setVSync(bool value);

    void setTitle(const std::string& value);
    const std::string& getTitle() const { return title; }
    bool isSwitchingMode() const { return switchingMode; }
    bool isFullScreen() const { return fullScreen; }
    // Only the flag; the window is not changed.
    void setFullScreenFlag(bool value) { fullScreen = value; }
    // Remakes the window in the other mode and announces 0xAF00FA00 (wParam 1 in full screen).
    virtual void setFullScreen(bool value);
    void toggleFullScreen() { setFullScreen(!isFullScreen()); }
    bool canRunWindowed() const { return windowedPossible; }
    void minimise();
    bool isPaused() const { return paused; }
    void setPaused(bool value) { paused = value; }
    bool hasFocus() const { return focus; }
    int32_t getBytesPerPixel() const { return bytesPerPixel; }
    void setRequestedBytesPerPixel(int32_t value) { requestedBytesPerPixel = value; }
    void setSize(int32_t newWidth, int32_t newHeight) {
        setWidth(newWidth);
        setHeight(newHeight);
    }
    void setWidth(int32_t value) { width = value; }
    int32_t getWidth() const { return width; }
    void setHeight(int32_t value) { height = value; }
    int32_t getHeight() const { return height; }
    // The icon resource number (0: none). The window shows the picture the number stands for,
    // read when the next window is made; without a readable picture it has no icon.
    void setIconId(int32_t value) { iconId = value; }
    int32_t getIconId() const { return iconId; }
    // Cursor kinds: 0 none, 1 starting, 2 arrow, 3 hand, 4 help, 5 wait, 6 I-beam.
    void setCursorKind(int32_t kind);
    int32_t getLoadedCursor() const;
    void applyCursor();
    // The mouse position in client coordinates, outside the window too; false without a window.
    bool getCursorPosition(int32_t& x, int32_t& y) const;

protected:
    // Makes the window in the current mode; a full-screen window that cannot be made falls
    // back to a window (the flag follows).
    virtual bool createWindow();
    // Chooses the depth, makes the presenter and the back buffer; then sets the display depth
    // and converts every image to it, whatever the result.
    virtual bool initDisplay();

private:
    // Shows the whole back buffer, paused or not.
    void presentWhole();
    bool createBackBuffer();
    // Hands the icon's picture to the display once per icon number, before the window exists.
    void loadIcon();
    // Hands a private message to every listener.
    void announce(uint32_t message, uint32_t wParam);
    // Where the frame on screen can be read, and the byte distance between its rows: the
    // display's own copy when it keeps one, else ours; null when neither is known.
    const uint8_t* shownPixels(size_t& pitch);
    // Whether the back buffer holds the picture last shown, which lies at `shown`.
    bool isFrameOnScreen(const uint8_t* shown, size_t shownPitch);
    // Shows the damaged rectangles whose pixels differ from the frame on screen at `shown`.
    void presentDamage(const uint8_t* shown, size_t shownPitch);
    void forgetDamage();

    Display& display;
    EventSource& events;
    Cursor& cursor;
    Clipboard& clipboard;
    MessageBox& messageBox;
    Clock& clock;

    int32_t bytesPerPixel = 0;
    int32_t requestedBytesPerPixel = 0;
    RefHolder<MessageHandler> messageHandler;
    RefHolder<Image> backBuffer;
    RefHolder<Graphics> backBufferGraphics;
    std::string title = "Brastel";
    bool fullScreen = true;
    bool windowedPossible = true;
    bool focus = true;
    bool switchingMode = false;
    bool shown = false;
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 640;
    int32_t height = 480;
    int32_t iconId = 0;
    // The icon number last tried, whether or not its picture could be read.
    int32_t loadedIconId = 0;
    bool paused = false;
    bool vSync = false;
    // Whether the frame last presented is known to be on screen.
    bool frameKnown = false;
    // A copy of the back buffer as last shown, kept only while the display keeps none.
    std::vector<uint8_t> frameOnScreen;
    // The back buffer's change count when it was last shown.
    uint64_t presentedDrawing = 0;
    // The picture's change count when the render pass last drew it; 0 for none.
    uint64_t drawnPicture = 0;
    // Where the back buffer may differ from the frame on screen, while its change count is
    // `damagedDrawing` and `damageKnown` holds.
    std::vector<Rect> damage;
    std::vector<DisplayRect> changedRects;
    uint64_t damagedDrawing = 0;
    bool damageKnown = false;
    // Frame time since update last looked for a raise request; starts due.
    int32_t sinceRaiseCheck = RAISE_CHECK_MS;
};
