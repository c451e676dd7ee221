#pragma once

// Widget tests with sound: the GUI fixture with a recording mixer, sounds under keys of the
// section "gui", a four-frame strip and a callback that counts.

#include <memory>
#include <sstream>

#include "framework/gui/Button.h"
#include "framework/platform/Sound.h"
#include "framework/platform/SoundManager.h"
#include "gui/GuiFixture.h"
#include "gui/SyntheticFont.h"
#include "testsupport/os/FakeAudioMixer.h"

using Keys = std::vector<std::string>;

class ButtonTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        mixer = std::make_shared<FakeAudioMixer>();
        SoundManager::init(44100, 32, mixer);
        for (const char* key : {"CLICK", "OVER", "DENIED"}) {
            RefHolder<Sound> sound = new Sound(1.0f);
            sound->load(1, 0, key);
            section->addObject(key, new MemoryObjectResource(sound.get()));
        }
        addPicture("STRIP", strip(20, 10).get());
    }
    void TearDown() override {
        SoundManager::releaseInstance();
        GuiTest::TearDown();
    }

    // Four frames of w x h stacked: frame n is filled with color 0x10 * (n + 1), opaque.
    static RefHolder<Image> strip(int32_t w, int32_t h) {
        RefHolder<Image> image = Image::createImage(w, 4 * h, 4);
        RefHolder<Graphics> graphics = image->createGraphics();
        for (int32_t frame = 0; frame < 4; ++frame) {
            graphics->setColor(0xFF000000u | (0x10u * static_cast<uint32_t>(frame + 1)));
            graphics->fillRect(0, frame * h, w, h);
        }
        graphics->fillChannel(Channel::ALPHA, 255);
        return image;
    }
    RefHolder<Button> buttonFrom(const std::string& keys, const std::string& type = "Button",
                                 const std::string& image = "STRIP") {
        RefHolder<PropertyNode> node =
            nodeFrom("<" + type + " id=\"b\" image=\"" + image +
                         "\" section=\"gui\" soundsection=\"gui\" " + keys + "/>",
                     "b");
        return static_cast<Button*>(ObjectFactoryContainer::instance()->createObject(node.get()));
    }
    // The keys of the sounds played since the last call.
    std::vector<std::string> played() {
        std::vector<std::string> keys;
        for (const std::string& call : mixer->calls) {
            std::istringstream words(call);
            std::string verb;
            int32_t sample = 0;
            if (words >> verb >> sample && verb == "playSample") {
                keys.push_back(mixer->samples[sample].source);
            }
        }
        mixer->calls.clear();
        return keys;
    }
    void bind(Button* button) { button->setCallback(this, &ButtonTest::countFire); }
    static int32_t countFire(void* target, BaseObject*) {
        return ++static_cast<ButtonTest*>(target)->fired;
    }

    std::shared_ptr<FakeAudioMixer> mixer;
    int fired = 0;
};
