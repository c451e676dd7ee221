#include "framework/platform/GameWindow.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "framework/os/Clipboard.h"
#include "framework/os/Clock.h"
#include "framework/os/Cursor.h"
#include "framework/os/Display.h"
#include "framework/os/EventSource.h"
#include "framework/os/InstanceLock.h"
#include "framework/os/MessageBox.h"
#include "framework/platform/DisplayDepth.h"
#include "framework/platform/Folders.h"
#include "framework/platform/ImageDD.h"
#include "framework/platform/ImageManager.h"
#include "framework/platform/PngDecoder.h"
#include "framework/platform/SceneHooks.h"

QUOVEL_DEFINE_TYPE(GameWindow, &Task::typeRecord)

namespace {

// Whether the 32 bytes at a and b agree: four words compared with one branch, which the
// compiler turns into vector compares.
bool agreeingBlock(const uint8_t* a, const uint8_t* b) {
    uint64_t x[4];
    uint64_t y[4];
    std::memcpy(x, a, sizeof x);
    std::memcpy(y, b, sizeof y);
    return ((x[0] ^ y[0]) | (x[1] ^ y[1]) | (x[2] ^ y[2]) | (x[3] ^ y[3])) == 0;
}

constexpr size_t AGREEING_BLOCK = 32;

// How many leading bytes of a and b agree (n when all do), 32 then 8 at a time.
size_t agreeingPrefix(const uint8_t* a, const uint8_t* b, size_t n) {
    size_t i = 0;
    while (i + AGREEING_BLOCK <= n && agreeingBlock(a + i, b + i)) {
        i += AGREEING_BLOCK;
    }
    for (uint64_t x, y; i + 8 <= n; i += 8) {
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        if (x != y) {
            break;
        }
    }
    while (i < n && a[i] == b[i]) {
        ++i;
    }
    return i;
}

// How many trailing bytes of a and b agree (n when all do), 32 then 8 at a time.
size_t agreeingSuffix(const uint8_t* a, const uint8_t* b, size_t n) {
    size_t i = 0;
    while (i + AGREEING_BLOCK <= n &&
           agreeingBlock(a + n - i - AGREEING_BLOCK, b + n - i - AGREEING_BLOCK)) {
        i += AGREEING_BLOCK;
    }
    for (uint64_t x, y; i + 8 <= n; i += 8) {
        std::memcpy(&x, a + n - i - 8, 8);
        std::memcpy(&y, b + n - i - 8, 8);
        if (x != y) {
            break;
        }
    }
    while (i < n && a[n - i - 1] == b[n - i - 1]) {
        ++i;
    }
    return i;
}

GameWindow* instance = nullptr;
InstanceLock* instanceLock = nullptr;
uint32_t displayVersion = 0;
bool openRetried = false;

// How long a present skipped while paused or switching mode waits, so a caller that keeps
// presenting does not spin.
constexpr uint32_t SKIPPED_PRESENT_SLEEP_MS = 10;

bool usableDepth(int32_t depth) {
    return depth == 2 || depth == 4;
}

// The icon resources: pictures in the media tree beside the program.
struct IconResource {
    int32_t id;
    const char* fileName;
};
constexpr IconResource ICON_RESOURCES[] = {{102, "media/images/icon.png"}};

// The path of the icon's picture; empty for a number that names none.
std::string iconPath(int32_t id) {
    for (const IconResource& resource : ICON_RESOURCES) {
        if (resource.id == id) {
            const std::string folder = getProgramFolder();
            // The program runs from its own folder, so a relative path serves when the folder
            // is unknown.
            return folder.empty() ? resource.fileName : folder + "/" + resource.fileName;
        }
    }
    return {};
}

}  // namespace

GameWindow::GameWindow(const WindowServices& services)
    : display(*services.display),
      events(*services.events),
      cursor(*services.cursor),
      clipboard(*services.clipboard),
      messageBox(*services.messageBox),
      clock(*services.clock) {}

GameWindow::~GameWindow() {
    destroyWindow();
}

GameWindow* GameWindow::createInstance(const WindowServices& services, const std::string& title,
                                       int32_t width, int32_t height, bool fullScreen,
                                       int32_t bytesPerPixel, int32_t iconId, bool showNow) {
    if (instance) {
        return instance;
    }
    instance = new GameWindow(services);
    instance->addRef();
    instance->setIconId(iconId);
    instance->initialise(title, width, height, fullScreen, bytesPerPixel);
    instance->centre();
    if (showNow) {
        instance->show();
    }
    return instance;
}

GameWindow* GameWindow::getInstance() {
    return instance;
}

MessageHandler* GameWindow::instanceMessages() {
    return instance ? instance->getMessageHandler() : nullptr;
}

void GameWindow::releaseInstance() {
    if (GameWindow* window = std::exchange(instance, nullptr)) {
        window->destroyWindow();
        window->release();
    }
}

bool GameWindow::checkSingleInstance(InstanceLock& lock, Display& probe) {
    if (!lock.tryAcquire()) {
        lock.signalOwner();
        return true;
    }
    instanceLock = &lock;
    displayVersion = probe.getDirectXVersion();
    return false;
}

void GameWindow::setInstanceLock(InstanceLock* lock) {
    instanceLock = lock;
}

uint32_t GameWindow::getDisplayVersion() {
    return displayVersion;
}

bool GameWindow::isOpenRetried() {
    return openRetried;
}

void GameWindow::setOpenRetried(bool value) {
    openRetried = value;
}

bool GameWindow::setClipboardText(const std::string& text) {
    return instance && instance->clipboard.setText(text);
}

std::string GameWindow::getClipboardText() {
    return instance ? instance->clipboard.getText() : std::string();
}

bool GameWindow::initialise(const std::string& newTitle, int32_t newWidth, int32_t newHeight,
                            bool newFullScreen, int32_t newBytesPerPixel) {
    title = newTitle;
    width = newWidth;
    height = newHeight;
    requestedBytesPerPixel = newBytesPerPixel;
    windowedPossible = true;
    // A window as large as the screen would not fit with its frame.
    if (display.screenWidth() <= width && display.screenHeight() <= height) {
        windowedPossible = false;
        newFullScreen = true;
    }
    fullScreen = newFullScreen;
    return open();
}

bool GameWindow::open() {
    if (!messageHandler) {
        messageHandler = new MessageHandler();
    }
    const bool windowMade = createWindow();
    if (initDisplay() && windowMade) {
        backBufferGraphics = backBuffer->createGraphics();
        openRetried = false;
        paused = false;
        return true;
    }
    if (openRetried) {
        destroyWindow();
        messageBox.show(ERROR_TITLE, ERROR_TEXT);
        events.postQuit(0);
        paused = true;
        return false;
    }
    // One more attempt in the other display mode.
    setFullScreenFlag(!fullScreen);
    openRetried = true;
    paused = true;
    recreateWindow();
    return display.hasWindow() && backBuffer;
}

void GameWindow::loadIcon() {
    if (iconId == 0 || iconId == loadedIconId) {
        return;
    }
    loadedIconId = iconId;
    const std::string path = iconPath(iconId);
    if (path.empty()) {
        return;
    }
    RefHolder<Image> picture = loadPngFile(path, PngDecodeFlags::FULL_COLOR);
    if (!picture || !picture->lock()) {
        return;
    }
    const int32_t pictureWidth = picture->getWidth();
    const int32_t pictureHeight = picture->getHeight();
    std::vector<uint32_t> pixels(static_cast<size_t>(pictureWidth) * pictureHeight);
    for (int32_t y = 0; y < pictureHeight; ++y) {
        std::memcpy(&pixels[static_cast<size_t>(y) * pictureWidth],
                    picture->getPixels() + static_cast<size_t>(y) * picture->getPitch(),
                    static_cast<size_t>(pictureWidth) * 4);
    }
    picture->unlock();
    display.setIcon(pixels.data(), pictureWidth, pictureHeight);
}

bool GameWindow::createWindow() {
    loadIcon();
    if (fullScreen && display.createWindow(title, width, height, true)) {
        return true;
    }
    fullScreen = false;
    if (!display.createWindow(title, width, height, false)) {
        return false;
    }
    setCursorKind(Cursor::KIND_ARROW);
    return true;
}

bool GameWindow::initDisplay() {
    bool made = false;
    if (display.hasWindow()) {
        const int32_t desktop = display.desktopBytesPerPixel();
        if (fullScreen) {
            if (!usableDepth(desktop)) {
                requestedBytesPerPixel = 2;
                windowedPossible = false;
            }
            if (usableDepth(requestedBytesPerPixel)) {
                bytesPerPixel = requestedBytesPerPixel;
            } else {
                bytesPerPixel = usableDepth(desktop) ? desktop : 2;
            }
            made = display.createPresenter(bytesPerPixel) && createBackBuffer();
        } else if (usableDepth(desktop)) {
            bytesPerPixel = desktop;
            made = display.createPresenter(bytesPerPixel) && createBackBuffer();
        } else {
            // A window cannot show this desktop's depth: go full screen at 16 bits. The old
            // window's destruction must not end the run.
            switchingMode = true;
            destroyWindow();
            fullScreen = true;
            const bool remade = createWindow() && fullScreen;
            switchingMode = false;
            if (remade) {
                return initDisplay();
            }
        }
    }
    setDisplayBytesPerPixel(bytesPerPixel);
    if (ImageManager* images = ImageManager::getInstance()) {
        images->convertAll();
    }
    return made;
}

bool GameWindow::createBackBuffer() {
    // A surface image over the presenter's memory; it keeps its depth, since the display is set
    // up again whenever the depth changes.
    setDisplayBytesPerPixel(bytesPerPixel);
    backBuffer = ImageDD::createSurface(display.getBackBuffer());
    drawnPicture = 0;
    return static_cast<bool>(backBuffer);
}

void GameWindow::show() {
    if (display.hasWindow()) {
        display.show();
        shown = true;
        // Full screen that the display could not give would show the top-left part of a
        // picture scaled to the desktop: a window instead.
        if (fullScreen && !display.isFullScreen()) {
            setFullScreen(false);
        }
    }
}

void GameWindow::present() {
    if (paused || switchingMode) {
        clock.sleep(SKIPPED_PRESENT_SLEEP_MS);
        return;
    }
    presentWhole();
}

void GameWindow::presentWhole() {
    if (!backBuffer) {
        return;
    }
    // A display that cannot show the frame even after remaking its texture stays dark until
    // the window is activated again.
    const bool locked = backBuffer->lock();
    forgetDamage();
    frameKnown = locked && display.present(backBuffer->getPixels(), backBuffer->getPitch());
    int displayPitch = 0;
    if (!frameKnown) {
        paused = true;
        frameOnScreen.clear();
    } else {
        presentedDrawing = backBuffer->getChangeCount();
        if (display.shownFrame(displayPitch)) {
            // The display's copy serves; ours would only cost a copy a frame and its memory.
            std::vector<uint8_t>().swap(frameOnScreen);
        } else {
            const uint8_t* pixels = backBuffer->getPixels();
            frameOnScreen.assign(pixels, pixels + static_cast<size_t>(backBuffer->getPitch()) *
                                                      static_cast<size_t>(backBuffer->getHeight()));
        }
    }
    if (locked) {
        backBuffer->unlock();
    }
}

void GameWindow::centre() {
    const Rect frame = getFrameRect();
    moveWindow((display.screenWidth() - frame.w) / 2, (display.screenHeight() - frame.h) / 2);
}

void GameWindow::moveWindow(int32_t newX, int32_t newY) {
    x = newX;
    y = newY;
    if (display.hasWindow() && !fullScreen) {
        const Rect frame = getFrameRect();
        display.setClientPosition(x - frame.x, y - frame.y);
    }
}

int32_t GameWindow::getClientScreenX() const {
    int clientX = 0;
    int clientY = 0;
    display.getClientPosition(clientX, clientY);
    return clientX;
}

int32_t GameWindow::getClientScreenY() const {
    int clientX = 0;
    int clientY = 0;
    display.getClientPosition(clientX, clientY);
    return clientY;
}

Rect GameWindow::getFrameRect() const {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    display.getFrameBorders(left, top, right, bottom);
    return Rect{-left, -top, width + left + right, height + top + bottom};
}

void GameWindow::updateClientRect() {
    int clientX = 0;
    int clientY = 0;
    if (!fullScreen && display.getClientPosition(clientX, clientY)) {
        const Rect frame = getFrameRect();
        x = clientX + frame.x;
        y = clientY + frame.y;
    }
}

void GameWindow::setVSync(bool value) {
    vSync = value;
    display.setVSync(value);
}

const uint8_t* GameWindow::shownPixels(size_t& pitch) {
    pitch = 0;
    if (!frameKnown || !backBuffer) {
        return nullptr;
    }
    int displayPitch = 0;
    if (const uint8_t* shown = display.shownFrame(displayPitch)) {
        pitch = static_cast<size_t>(displayPitch);
        return shown;
    }
    const size_t ownPitch = static_cast<size_t>(backBuffer->getPitch());
    if (frameOnScreen.size() != ownPitch * static_cast<size_t>(backBuffer->getHeight())) {
        return nullptr;
    }
    pitch = ownPitch;
    return frameOnScreen.data();
}

bool GameWindow::isFrameOnScreen(const uint8_t* shown, size_t shownPitch) {
    if (!backBuffer->lock()) {
        return false;
    }
    const uint8_t* pixels = backBuffer->getPixels();
    const size_t pitch = static_cast<size_t>(backBuffer->getPitch());
    const size_t rowBytes = static_cast<size_t>(backBuffer->getWidth()) *
                            static_cast<size_t>(backBuffer->getBytesPerPixel());
    bool same = true;
    for (int32_t y = 0; same && y < backBuffer->getHeight(); ++y) {
        same = std::memcmp(shown + static_cast<size_t>(y) * shownPitch,
                           pixels + static_cast<size_t>(y) * pitch, rowBytes) == 0;
    }
    backBuffer->unlock();
    return same;
}

void GameWindow::destroyWindow() {
    frameKnown = false;
    frameOnScreen.clear();
    forgetDamage();
    drawnPicture = 0;
    backBufferGraphics.reset();
    backBuffer.reset();
    display.destroyWindow();
}

void GameWindow::recreateWindow() {
    const bool wasShown = shown;
    destroyWindow();
    shown = false;
    open();
    centre();
    if (wasShown) {
        show();
    }
}

void GameWindow::closeWindow() {
    destroyWindow();
    shown = false;
    windowProcedure({WM_DESTROY, 0, 0});
}

void GameWindow::announce(uint32_t message, uint32_t wParam) {
    messageHandler->dispatch(message, wParam, 0);
}

void GameWindow::windowProcedure(const MessageRecord& record) {
    if (!messageHandler) {
        messageHandler = new MessageHandler();
    }
    messageHandler->dispatch(record.message, record.wParam, record.lParam);
    switch (record.message) {
        case WM_MOVE:
        case WM_NCCALCSIZE:
            updateClientRect();
            break;
        case WM_DESTROY:
            if (!switchingMode) {
                events.postQuit(0);
            }
            break;
        case WM_SIZE:
            if (record.wParam == SIZE_MINIMIZED) {
                announce(MSG_DEACTIVATED, 0);
                paused = true;
            } else if (record.wParam == SIZE_MAXIMIZED) {
                // The maximise box asks for full screen; a window already in full screen has
                // nothing to maximise to.
                if (!fullScreen) {
                    setFullScreen(true);
                }
                show();
            } else if (record.wParam == SIZE_RESTORED) {
                announce(MSG_ACTIVATED, 0);
                paused = false;
            }
            break;
        case WM_SETFOCUS:
            paused = false;
            focus = true;
            // What another window (a message box) left on ours is not known: the next frame
            // shows the whole picture.
            frameKnown = false;
            announce(MSG_ACTIVATED, 0);
            break;
        case WM_KILLFOCUS:
            if (fullScreen) {
                paused = true;
            }
            announce(MSG_DEACTIVATED, 0);
            focus = false;
            break;
        case WM_PAINT:
            // The system lost what the window showed: the whole frame again, paused too (a box
            // over the full-screen window took the focus and left its picture on ours). While
            // the mode switches, the next frame shows it.
            if (switchingMode) {
                frameKnown = false;
            } else {
                presentWhole();
            }
            break;
        case WM_CLOSE:
            if (GameNode* scene = SceneHooks::currentScene()) {
                if (SceneHooks::quitRequest.isInstalled()) {
                    SceneHooks::quitRequest(scene);
                    break;
                }
            }
            closeWindow();
            break;
        case WM_SYSCOLORCHANGE:
            recreateWindow();
            break;
        case WM_ACTIVATEAPP:
            if (record.wParam != 0) {
                paused = false;
            }
            break;
        case WM_SETCURSOR:
            applyCursor();
            break;
        case WM_NCPAINT:
            paused = false;
            break;
        case WM_SYSKEYDOWN:
            // One switch per press: a held key's repeats would remake the window each time.
            if (record.wParam == VK_RETURN && (record.lParam & KEY_WAS_DOWN) == 0 &&
                windowedPossible) {
                toggleFullScreen();
            }
            break;
        case WM_SYSCOMMAND:
            // SC_KEYMENU (Alt alone) is swallowed: the game has no system menu to open.
            if (record.wParam == SC_MINIMIZE) {
                display.minimise();
            }
            break;
        case WM_LBUTTONDOWN:
            events.setCapture(true);
            applyCursor();
            break;
        case WM_LBUTTONUP:
            events.setCapture(false);
            break;
        default:
            break;
    }
}

void GameWindow::update(int32_t elapsedMs) {
    sinceRaiseCheck += elapsedMs;
    if (sinceRaiseCheck >= RAISE_CHECK_MS) {
        sinceRaiseCheck = 0;
        answerRaiseRequest();
    }
    size_t shownPitch = 0;
    const uint8_t* shown = paused || switchingMode ? nullptr : shownPixels(shownPitch);
    if (shown) {
        const uint64_t drawing = backBuffer->getChangeCount();
        if (damageKnown && drawing == damagedDrawing) {
            presentDamage(shown, shownPitch);
            return;
        }
        if (drawing == presentedDrawing || isFrameOnScreen(shown, shownPitch)) {
            presentedDrawing = drawing;
            forgetDamage();
            return;
        }
    }
    present();
}

void GameWindow::addDamage(const std::vector<Rect>& rectangles, uint64_t before, uint64_t after) {
    if (before == presentedDrawing) {
        damage.clear();
        damageKnown = true;
    } else if (!damageKnown || before != damagedDrawing) {
        forgetDamage();
        return;
    }
    damage.insert(damage.end(), rectangles.begin(), rectangles.end());
    damagedDrawing = after;
}

void GameWindow::forgetDamage() {
    damage.clear();
    damageKnown = false;
}

void GameWindow::presentDamage(const uint8_t* shownPixels, size_t shownPitch) {
    const uint64_t drawing = backBuffer->getChangeCount();
    if (!backBuffer->lock()) {
        forgetDamage();
        return;
    }
    const uint8_t* pixels = backBuffer->getPixels();
    const size_t pitch = static_cast<size_t>(backBuffer->getPitch());
    const size_t bytes = static_cast<size_t>(backBuffer->getBytesPerPixel());
    const Rect whole{0, 0, backBuffer->getWidth(), backBuffer->getHeight()};
    // With our own copy of the frame on screen, each damaged rectangle is cut down to the
    // pixels that differ from it, which the copy takes: a display that converts or uploads what
    // it is given gets less to do. A display that keeps the frame itself copies the rectangles
    // as they are, for less than comparing them would cost.
    changedRects.clear();
    const bool ownCopy = shownPixels == frameOnScreen.data();
    for (const Rect& damaged : damage) {
        const Rect r = intersectRects(damaged, whole);
        if (!ownCopy) {
            if (r.w > 0 && r.h > 0) {
                changedRects.push_back(DisplayRect{r.x, r.y, r.w, r.h});
            }
            continue;
        }
        int32_t left = r.x + r.w;
        int32_t right = r.x - 1;
        int32_t top = -1;
        int32_t bottom = -1;
        const size_t rowBytes = static_cast<size_t>(r.w) * bytes;
        for (int32_t y = r.y; y < r.y + r.h; ++y) {
            const size_t column = static_cast<size_t>(r.x) * bytes;
            const uint8_t* drawn = pixels + static_cast<size_t>(y) * pitch + column;
            const uint8_t* onScreen = shownPixels + static_cast<size_t>(y) * shownPitch + column;
            const size_t same = agreeingPrefix(onScreen, drawn, rowBytes);
            if (same == rowBytes) {
                continue;
            }
            const size_t sameAtEnd = agreeingSuffix(onScreen, drawn, rowBytes);
            const auto first = r.x + static_cast<int32_t>(same / bytes);
            const auto last = r.x + static_cast<int32_t>((rowBytes - sameAtEnd - 1) / bytes);
            left = std::min(left, first);
            right = std::max(right, last);
            top = top < 0 ? y : top;
            bottom = y;
        }
        if (top < 0) {
            continue;
        }
        const DisplayRect changed{left, top, right - left + 1, bottom - top + 1};
        for (int32_t y = changed.y; y < changed.y + changed.h; ++y) {
            const size_t at = static_cast<size_t>(y) * pitch + static_cast<size_t>(left) * bytes;
            std::memcpy(frameOnScreen.data() + at, pixels + at,
                        static_cast<size_t>(changed.w) * bytes);
        }
        changedRects.push_back(changed);
    }
    bool shown = true;
    if (!changedRects.empty()) {
        shown = display.presentRects(pixels, backBuffer->getPitch(), changedRects.data(),
                                     static_cast<int>(changedRects.size()));
    }
    backBuffer->unlock();
    forgetDamage();
    if (shown) {
        presentedDrawing = drawing;
    } else {
        paused = true;
        frameKnown = false;
        frameOnScreen.clear();
    }
}

bool GameWindow::answerRaiseRequest() {
    if (!instanceLock || !instanceLock->takeRaiseRequest() || !display.hasWindow()) {
        return false;
    }
    display.restoreAndRaise();
    return true;
}

void GameWindow::setTitle(const std::string& value) {
    title = value;
    display.setTitle(value);
}

void GameWindow::setFullScreen(bool value) {
    if (value == fullScreen) {
        return;
    }
    fullScreen = value;
    recreateWindow();
    // The mode the window ended up in, which a failed attempt may have changed.
    announce(MSG_FULLSCREEN_CHANGED, fullScreen ? 1 : 0);
}

void GameWindow::minimise() {
    display.minimise();
}

void GameWindow::setCursorKind(int32_t kind) {
    cursor.setKind(kind);
}

int32_t GameWindow::getLoadedCursor() const {
    return cursor.getKind();
}

void GameWindow::applyCursor() {
    cursor.apply();
}

bool GameWindow::getCursorPosition(int32_t& x, int32_t& y) const {
    return events.cursorPosition(x, y);
}

void GameWindow::waitServicingSystem(uint32_t milliseconds) {
    events.serviceQueue();
    clock.sleep(milliseconds);
}
