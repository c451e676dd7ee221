#pragma once

// Scenes, dialogs and labels for the scene tests that count what happens to them.

#include <string>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyValue.h"
#include "framework/gui/iText.h"
#include "framework/scene/Scene.h"

// Live probes of the running test.
inline int liveProbeDialogs = 0;

// A scene that counts its shows, hides, loads and updates.
class ProbeScene : public Scene {
public:
    explicit ProbeScene(PropertyNode* definition = nullptr) : Scene(definition) {}
    void loadResources() override {
        ++loads;
        Scene::loadResources();
    }
    void show() override {
        ++shows;
        Scene::show();
    }
    void hide() override {
        ++hides;
        Scene::hide();
    }
    void update(int32_t) override { ++updates; }
    int loads = 0;
    int shows = 0;
    int hides = 0;
    int updates = 0;
};

// A dialog that counts itself alive.
class ProbeDialog : public Dialog {
public:
    explicit ProbeDialog(PropertyNode* definition) : Dialog(definition) { ++liveProbeDialogs; }
    ~ProbeDialog() override { --liveProbeDialogs; }
};

// A sprite with a text, standing for a label.
class ProbeLabel : public Sprite, public iText {
public:
    explicit ProbeLabel(PropertyNode* definition) : Sprite(definition) {
        text = nodeOrDummy(definition)->getChildValue("text")->getText();
    }
    void* castTo(const TypeRecord* type) override {
        return type == &iText::typeRecord ? static_cast<iText*>(this) : Sprite::castTo(type);
    }
    const std::wstring& getText() const override { return text; }
    void setText(const std::wstring& value) override { text = value; }
    std::wstring text;
};

// Registers the probes under test names for the test's length.
class ProbeRegistrations {
public:
    ProbeRegistrations() {
        ObjectFactoryContainer* factory = ObjectFactoryContainer::instance();
        factory->add("ProbeScene", &createFromDefinition<ProbeScene>);
        factory->add("ProbeDialog", &createFromDefinition<ProbeDialog>);
        factory->add("ProbeLabel", &createFromDefinition<ProbeLabel>);
    }
    ~ProbeRegistrations() {
        ObjectFactoryContainer* factory = ObjectFactoryContainer::instance();
        factory->remove("ProbeScene");
        factory->remove("ProbeDialog");
        factory->remove("ProbeLabel");
    }
};
