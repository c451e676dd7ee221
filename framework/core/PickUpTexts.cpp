#include "framework/core/PickUpTexts.h"

namespace {

const std::wstring pickUpTexts[PICK_UP_KIND_COUNT] = {
    L"Shoot!", L"Laser!", L"Frag!", L"Extra bomb!", L"Shield", L"+1000 Score!"};
const std::wstring noText;

}  // namespace

const std::wstring& getPickUpText(int32_t kind) {
    return kind >= 0 && kind < PICK_UP_KIND_COUNT ? pickUpTexts[kind] : noText;
}
