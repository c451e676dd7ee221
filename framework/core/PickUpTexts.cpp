#include "framework/core/PickUpTexts.h"

namespace {

const std::wstring PICK_UP_TEXTS[PICK_UP_KIND_COUNT] = {L"Shoot!",      L"Laser!", L"Frag!",
                                                        L"Extra bomb!", L"Shield", L"+1000 Score!"};
const std::wstring NO_TEXT;

}  // namespace

const std::wstring& getPickUpText(int32_t kind) {
    return kind >= 0 && kind < PICK_UP_KIND_COUNT ? PICK_UP_TEXTS[kind] : NO_TEXT;
}
