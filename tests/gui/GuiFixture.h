#pragma once

// GUI tests: a fake game window of 800 x 600, a resource manager whose section "gui" holds
// pictures made in code, a registry of GUI definitions read from files in memory, and the
// scene manager, all put back afterwards.

#include <gtest/gtest.h>

#include <string>

#include "core/FakeFilesTest.h"
#include "framework/core/BasicProperties.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/PropertyValue.h"
#include "framework/gui/GuiDefinitions.h"
#include "framework/platform/FileArchive.h"
#include "framework/platform/ResourceManager.h"
#include "framework/platform/ResourceSection.h"
#include "framework/scene/SceneManager.h"
#include "framework/scene/TransitionScene.h"
#include "platform/FakeWindow.h"
#include "testsupport/platform/PixelAccess.h"

// A picture resource made in code: loaded from the start.
class MemoryImageResource : public ResourceObject {
public:
    explicit MemoryImageResource(Image* image) : ResourceObject("memory", 0), image(image) {
        setLoaded();
    }
    void load() override { setLoaded(); }
    BaseObject* getData() const override { return image.get(); }

private:
    RefHolder<Image> image;
};

class GuiTest : public FakeWindowTest {
protected:
    void SetUp() override {
        FakeWindowTest::SetUp();
        FileSystem::setCurrent(&files);
        FileArchive::close();
        BasicProperties::createInstance();
        open(false);
        RefHolder<PropertyNode> definition = new PropertyNode("gui");
        definition->addChild(new PropertyValue("name", "gui", true));
        section = new ResourceSection(definition.get());
        ResourceManager::createInstance()->addSection(section.get());
        SceneManager::createInstance();
    }
    void TearDown() override {
        SceneManager::releaseInstance();
        GuiDefinitions::releaseInstance();
        TransitionScene::loaderProbe.install(nullptr);
        section.reset();
        ResourceManager::stopLoader();
        FileSystem::setCurrent(nullptr);
        BasicProperties::releaseInstance();
        FakeWindowTest::TearDown();
    }

    // Puts the picture in the section "gui" under the key.
    void addPicture(const std::string& key, Image* image) {
        section->addObject(key, new MemoryImageResource(image));
    }
    void putFile(const std::string& path, const std::string& text) {
        files.files[path].assign(text.begin(), text.end());
    }
    // The node defined under `id` in the XML (a file in memory holding it inside its root).
    RefHolder<PropertyNode> nodeFrom(const std::string& xml, const std::string& id) {
        putFile("node.xml", "<root>" + xml + "</root>");
        RefHolder<PropertyStore> store = new PropertyStore();
        EXPECT_TRUE(store->loadFile("node.xml"));
        return store->getChildNode(id);
    }
    // The registry read from one file in memory holding `xml` inside its root.
    GuiDefinitions* definitionsFrom(const std::string& xml) {
        putFile("gui.xml", "<root>" + xml + "</root>");
        GuiDefinitions* definitions = GuiDefinitions::instance();
        definitions->addFile("gui.xml");
        definitions->load();
        return definitions;
    }

    FakeFileSystem files;
    RefHolder<ResourceSection> section;
};
