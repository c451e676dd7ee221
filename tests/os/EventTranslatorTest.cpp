#include <SDL.h>
#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>
#include <vector>

#include "framework/os/EventTranslator.h"
#include "framework/os/X11Events.h"

namespace event_translator_test {

using Records = std::vector<MessageRecord>;

SDL_Event keyEvent(bool down, SDL_Keycode key, bool repeat = false) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.sym = key;
    return event;
}

SDL_Event buttonEvent(bool down, uint8_t button, uint8_t clicks, int x, int y) {
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.button = button;
    event.button.clicks = clicks;
    event.button.x = x;
    event.button.y = y;
    return event;
}

SDL_Event motionEvent(int x, int y, uint32_t state) {
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = x;
    event.motion.y = y;
    event.motion.state = state;
    return event;
}

SDL_Event windowEvent(uint32_t windowId, uint8_t kind, int data1 = 0, int data2 = 0) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = windowId;
    event.window.event = kind;
    event.window.data1 = data1;
    event.window.data2 = data2;
    return event;
}

Records translate(EventTranslator& translator, const SDL_Event& event) {
    Records out;
    translator.translate(event, out);
    return out;
}

std::vector<uint32_t> messages(const Records& records) {
    std::vector<uint32_t> result;
    for (const MessageRecord& record : records) {
        result.push_back(record.message);
    }
    return result;
}

TEST(EventTranslator, VirtualKeysFollowTheTable) {
    using Keys = std::initializer_list<std::pair<SDL_Keycode, uint32_t>>;
    const Keys named = {
        {SDLK_a, 0x41},      {SDLK_z, 0x5A},    {SDLK_0, 0x30},      {SDLK_9, 0x39},
        {SDLK_BACKSPACE, 8}, {SDLK_TAB, 9},     {SDLK_RETURN, 13},   {SDLK_KP_ENTER, 13},
        {SDLK_LSHIFT, 16},   {SDLK_RSHIFT, 16}, {SDLK_LCTRL, 17},    {SDLK_RCTRL, 17},
        {SDLK_LALT, 18},     {SDLK_RALT, 18},   {SDLK_PAUSE, 19},    {SDLK_ESCAPE, 27},
        {SDLK_SPACE, 32},    {SDLK_PAGEUP, 33}, {SDLK_PAGEDOWN, 34}, {SDLK_END, 35},
        {SDLK_HOME, 36},     {SDLK_LEFT, 37},   {SDLK_UP, 38},       {SDLK_RIGHT, 39},
        {SDLK_DOWN, 40},     {SDLK_INSERT, 45}};
    const Keys others = {
        {SDLK_DELETE, 46},        {SDLK_KP_0, 0x60},        {SDLK_KP_1, 0x61},
        {SDLK_KP_9, 0x69},        {SDLK_KP_MULTIPLY, 0x6A}, {SDLK_KP_PLUS, 0x6B},
        {SDLK_KP_MINUS, 0x6D},    {SDLK_KP_PERIOD, 0x6E},   {SDLK_KP_DIVIDE, 0x6F},
        {SDLK_F1, 0x70},          {SDLK_F12, 0x7B},         {SDLK_SEMICOLON, 0xBA},
        {SDLK_EQUALS, 0xBB},      {SDLK_COMMA, 0xBC},       {SDLK_MINUS, 0xBD},
        {SDLK_PERIOD, 0xBE},      {SDLK_SLASH, 0xBF},       {SDLK_BACKQUOTE, 0xC0},
        {SDLK_LEFTBRACKET, 0xDB}, {SDLK_BACKSLASH, 0xDC},   {SDLK_RIGHTBRACKET, 0xDD},
        {SDLK_QUOTE, 0xDE},       {SDLK_LESS, 0xE2},        {SDLK_F13, 0},
        {SDLK_CAPSLOCK, 0}};
    for (const Keys& table : {named, others}) {
        for (const auto& [key, vk] : table) {
            EXPECT_EQ(EventTranslator::virtualKey(key), vk) << SDL_GetKeyName(key);
            // The X keyboard is asked about every key with a code, so that one held while its
            // window is made again stays one press.
            EXPECT_EQ(x11KeySym(key) != 0, vk != 0) << SDL_GetKeyName(key);
        }
    }
    // A key without a code makes no message at all.
    EventTranslator translator;
    EXPECT_TRUE(translate(translator, keyEvent(true, SDLK_F13)).empty());
}

TEST(EventTranslator, ControlKeysTypeTheirCharacterAfterTheKeyMessage) {
    EventTranslator translator;
    const std::pair<SDL_Keycode, uint32_t> typing[] = {{SDLK_BACKSPACE, 8},
                                                       {SDLK_TAB, 9},
                                                       {SDLK_RETURN, 13},
                                                       {SDLK_KP_ENTER, 13},
                                                       {SDLK_ESCAPE, 27}};
    for (const auto& [key, character] : typing) {
        const Records records = translate(translator, keyEvent(true, key));
        ASSERT_EQ(records.size(), 2u);
        EXPECT_EQ(records[0].message, WM_KEYDOWN);
        EXPECT_EQ(records[0].wParam, character);
        EXPECT_EQ(records[1].message, WM_CHAR);
        EXPECT_EQ(records[1].wParam, character);
    }
    // Letters type through text input only; their key messages stand alone.
    Records letter = translate(translator, keyEvent(true, SDLK_q));
    ASSERT_EQ(letter.size(), 1u);
    EXPECT_EQ(letter[0], (MessageRecord{WM_KEYDOWN, 'Q', 1}));
    letter = translate(translator, keyEvent(false, SDLK_q));
    ASSERT_EQ(letter.size(), 1u);
    EXPECT_EQ(letter[0], (MessageRecord{WM_KEYUP, 'Q', 1u | 1u << 30 | 1u << 31}));
}

TEST(EventTranslator, RepeatsAreFurtherKeyDowns) {
    EventTranslator translator;
    const Records first = translate(translator, keyEvent(true, SDLK_LEFT));
    const Records repeat = translate(translator, keyEvent(true, SDLK_LEFT, true));
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(repeat.size(), 1u);
    EXPECT_EQ(repeat[0].message, WM_KEYDOWN);
    EXPECT_EQ(repeat[0].wParam, VK_LEFT);
    EXPECT_EQ(first[0].lParam & (1u << 30), 0u);
    EXPECT_NE(repeat[0].lParam & (1u << 30), 0u);
}

TEST(EventTranslator, AltMakesSystemKeysAndTypesNothing) {
    EventTranslator translator;
    EXPECT_EQ(messages(translate(translator, keyEvent(true, SDLK_LALT))),
              (std::vector<uint32_t>{WM_SYSKEYDOWN}));
    EXPECT_TRUE(translator.isAltDown());
    // Alt+Enter is the full-screen switch, never a typed Enter.
    const Records enter = translate(translator, keyEvent(true, SDLK_RETURN));
    ASSERT_EQ(enter.size(), 1u);
    EXPECT_EQ(enter[0].message, WM_SYSKEYDOWN);
    EXPECT_EQ(enter[0].wParam, VK_RETURN);
    EXPECT_EQ(messages(translate(translator, keyEvent(false, SDLK_RETURN))),
              (std::vector<uint32_t>{WM_SYSKEYUP}));
    // Let go after Alt, Enter pressed with it stays a window command to its release.
    translate(translator, keyEvent(true, SDLK_RETURN));
    translate(translator, keyEvent(false, SDLK_LALT));
    EXPECT_EQ(messages(translate(translator, keyEvent(true, SDLK_RETURN, true))),
              (std::vector<uint32_t>{WM_SYSKEYDOWN}));
    EXPECT_EQ(messages(translate(translator, keyEvent(false, SDLK_RETURN))),
              (std::vector<uint32_t>{WM_SYSKEYUP}));
    translate(translator, keyEvent(true, SDLK_LALT));

    // Releasing one Alt while the other is held keeps the system form.
    translate(translator, keyEvent(true, SDLK_RALT));
    translate(translator, keyEvent(false, SDLK_LALT));
    EXPECT_TRUE(translator.isAltDown());
    EXPECT_EQ(messages(translate(translator, keyEvent(true, SDLK_x))),
              (std::vector<uint32_t>{WM_SYSKEYDOWN}));
    const Records altUp = translate(translator, keyEvent(false, SDLK_RALT));
    ASSERT_EQ(altUp.size(), 1u);
    EXPECT_EQ(altUp[0].message, WM_SYSKEYUP);
    EXPECT_EQ(altUp[0].wParam, VK_MENU);
    EXPECT_FALSE(translator.isAltDown());

    EXPECT_EQ(messages(translate(translator, keyEvent(true, SDLK_x))),
              (std::vector<uint32_t>{WM_KEYDOWN}));
}

TEST(EventTranslator, AKeyStillHeldWhenItsWindowGoesIsOnePressUntilLetGo) {
    EventTranslator translator;
    bool enterHeld = true;
    translator.setKeyQuery([&](int32_t key) { return key == SDLK_RETURN ? enterHeld : -1; });
    translator.setWindowId(2);
    SDL_Event enter = keyEvent(true, SDLK_RETURN);
    enter.key.windowID = 2;
    EXPECT_EQ(translate(translator, enter)[0].lParam & KEY_WAS_DOWN, 0u);
    // The window is made again; SDL lets go of the key in the old one, then takes the next
    // repeat for a new press.
    translator.setWindowId(4);
    SDL_Event release = keyEvent(false, SDLK_RETURN);
    release.key.windowID = 2;
    EXPECT_TRUE(translate(translator, release).empty());
    enter.key.windowID = 4;
    const Records goesOn = translate(translator, enter);
    ASSERT_EQ(goesOn.size(), 2u);  // and its character
    EXPECT_NE(goesOn[0].lParam & KEY_WAS_DOWN, 0u);

    // Let go once SDL has let go of it: only the keyboard tells.
    EXPECT_TRUE(translate(translator, release).empty());
    Records letGo;
    translator.releaseLetGoKeys(letGo);
    EXPECT_TRUE(letGo.empty());
    enterHeld = false;
    translator.releaseLetGoKeys(letGo);
    EXPECT_EQ(letGo, (Records{{WM_KEYUP, VK_RETURN, 0xC0000001}}));
    EXPECT_FALSE(translator.hasKeysHeldAcrossWindows());
    EXPECT_EQ(translate(translator, enter)[0].lParam & KEY_WAS_DOWN, 0u);
    // A key the keyboard reports up, or cannot tell about, is let go with its window.
    release.key.windowID = 2;
    EXPECT_EQ(messages(translate(translator, release)), (std::vector<uint32_t>{WM_KEYUP}));
    SDL_Event other = keyEvent(false, SDLK_LEFT);
    other.key.windowID = 2;
    EXPECT_EQ(messages(translate(translator, other)), (std::vector<uint32_t>{WM_KEYUP}));
}

TEST(EventTranslator, TextInputGivesOneCharacterEachUnlessAltIsHeld) {
    EventTranslator translator;
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    SDL_strlcpy(event.text.text, "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", sizeof event.text.text);
    const Records records = translate(translator, event);
    ASSERT_EQ(records.size(), 4u);
    const uint32_t expected[] = {'a', 0xE9, 0x20AC, 0x1F600};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(records[i].message, WM_CHAR);
        EXPECT_EQ(records[i].wParam, expected[i]);
    }
    // With AltGr held (a right Alt that the keyboard calls so) it types; with Alt, not.
    using Alt = std::pair<SDL_Keycode, int>;
    for (const auto& [alt, altGr] : {Alt{SDLK_LALT, 1}, Alt{SDLK_RALT, 1}, Alt{SDLK_RALT, 0}}) {
        translator.setAltGrQuery([altGr = altGr] { return altGr; });
        translate(translator, keyEvent(true, alt));
        EXPECT_EQ(translate(translator, event).size(), alt == SDLK_RALT && altGr ? 4u : 0u);
        translate(translator, keyEvent(false, alt));
    }
}

TEST(EventTranslator, MouseMovesCarryButtonsModifiersAndPackedCoordinates) {
    EventTranslator translator;
    Records records = translate(translator, motionEvent(10, 20, 0));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0], (MessageRecord{WM_MOUSEMOVE, 0, 10u | 20u << 16}));

    translate(translator, keyEvent(true, SDLK_RSHIFT));
    translate(translator, keyEvent(true, SDLK_LCTRL));
    records = translate(
        translator, motionEvent(-1, -2, SDL_BUTTON_LMASK | SDL_BUTTON_MMASK | SDL_BUTTON_RMASK));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].wParam, MK_LBUTTON | MK_RBUTTON | MK_MBUTTON | MK_SHIFT | MK_CONTROL);
    // Captured moves left of and above the window: 16-bit two's complement in each half.
    EXPECT_EQ(records[0].lParam, 0xFFFEFFFFu);

    translate(translator, keyEvent(false, SDLK_RSHIFT));
    records = translate(translator, motionEvent(-32768, 900, SDL_BUTTON_RMASK));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].wParam, MK_RBUTTON | MK_CONTROL);
    EXPECT_EQ(loWord(records[0].lParam), 0x8000u);
    EXPECT_EQ(hiWord(records[0].lParam), 900u);
}

TEST(EventTranslator, EvenClickCountsAreDoubleClicks) {
    EventTranslator translator;
    const struct {
        uint8_t button;
        uint32_t down;
        uint32_t doubleClick;
        uint32_t up;
        uint32_t flag;
    } buttons[] = {{SDL_BUTTON_LEFT, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONUP, MK_LBUTTON},
                   {SDL_BUTTON_RIGHT, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK, WM_RBUTTONUP, MK_RBUTTON},
                   {SDL_BUTTON_MIDDLE, WM_MBUTTONDOWN, WM_MBUTTONDBLCLK, WM_MBUTTONUP, MK_MBUTTON}};
    for (const auto& b : buttons) {
        for (uint8_t clicks = 1; clicks <= 4; ++clicks) {
            Records records = translate(translator, buttonEvent(true, b.button, clicks, 5, -7));
            ASSERT_EQ(records.size(), 1u);
            EXPECT_EQ(records[0].message, clicks % 2 == 0 ? b.doubleClick : b.down);
            // The pressed button is in the flags of its down message...
            EXPECT_EQ(records[0].wParam, b.flag);
            EXPECT_EQ(records[0].lParam, 5u | 0xFFF9u << 16);
            records = translate(translator, buttonEvent(false, b.button, clicks, 5, 6));
            ASSERT_EQ(records.size(), 1u);
            EXPECT_EQ(records[0].message, b.up);
            // ...and no longer in those of its up message.
            EXPECT_EQ(records[0].wParam, 0u);
        }
    }
    // Held buttons and Shift show in the flags of other buttons' messages.
    translate(translator, keyEvent(true, SDLK_LSHIFT));
    translate(translator, buttonEvent(true, SDL_BUTTON_LEFT, 1, 0, 0));
    const Records right = translate(translator, buttonEvent(true, SDL_BUTTON_RIGHT, 1, 0, 0));
    ASSERT_EQ(right.size(), 1u);
    EXPECT_EQ(right[0].wParam, MK_LBUTTON | MK_RBUTTON | MK_SHIFT);
    // Extra buttons have no message.
    EXPECT_TRUE(translate(translator, buttonEvent(true, SDL_BUTTON_X1, 1, 0, 0)).empty());
}

TEST(EventTranslator, WindowEventsOfTheCurrentWindowOnly) {
    EventTranslator translator;
    translator.setWindowId(7);
    const struct {
        uint8_t kind;
        MessageRecord record;
    } table[] = {{SDL_WINDOWEVENT_CLOSE, {WM_CLOSE, 0, 0}},
                 {SDL_WINDOWEVENT_MINIMIZED, {WM_SIZE, SIZE_MINIMIZED, 0}},
                 {SDL_WINDOWEVENT_RESTORED, {WM_SIZE, SIZE_RESTORED, 0}},
                 {SDL_WINDOWEVENT_MAXIMIZED, {WM_SIZE, SIZE_MAXIMIZED, 0}},
                 {SDL_WINDOWEVENT_FOCUS_GAINED, {WM_SETFOCUS, 0, 0}},
                 {SDL_WINDOWEVENT_FOCUS_LOST, {WM_KILLFOCUS, 0, 0}},
                 {SDL_WINDOWEVENT_EXPOSED, {WM_PAINT, 0, 0}},
                 {SDL_WINDOWEVENT_MOVED, {WM_MOVE, 0, packCoordinates(-20, 30)}}};
    for (const auto& entry : table) {
        const Records records = translate(translator, windowEvent(7, entry.kind, -20, 30));
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0], entry.record);
        // A destroyed window's late events are not the game's.
        EXPECT_TRUE(translate(translator, windowEvent(6, entry.kind)).empty());
    }
    EXPECT_TRUE(translate(translator, windowEvent(7, SDL_WINDOWEVENT_SHOWN)).empty());

    SDL_Event quit{};
    quit.type = SDL_QUIT;
    EXPECT_EQ(messages(translate(translator, quit)), (std::vector<uint32_t>{WM_CLOSE}));
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    EXPECT_TRUE(translate(translator, wheel).empty());
}

}  // namespace event_translator_test
