#pragma once

// Tests on the game's own built media and property files: run from the game's folder with the
// resource list and the GUI definitions loaded, pictures written under build/pictures/gui/.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "framework/core/BasicProperties.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyStore.h"
#include "framework/gui/GuiDefinitions.h"
#include "framework/platform/FileArchive.h"
#include "framework/platform/ImageManager.h"
#include "framework/platform/ResourceManager.h"
#include "game/app/GuiDefinitionsLoad.h"

class GameMediaTest : public ::testing::Test {
protected:
    void SetUp() override {
        FileArchive::close();
        ownsImageManager = ImageManager::getInstance() == nullptr;
        ImageManager::createInstance(false);
        BasicProperties::createInstance();
        loadGuiDefinitions();
        manager = ResourceManager::createInstance();
        ASSERT_TRUE(manager->loadSectionList("media/properties/resources.xml"));
    }
    void TearDown() override {
        GuiDefinitions::releaseInstance();
        ResourceManager::stopLoader();
        if (ownsImageManager) {
            ImageManager::destroyInstance();
        }
    }

    // Loads the resources now, as their section would be loaded before a scene shows.
    void loadResources(const std::vector<std::string>& keys, const std::string& section) {
        for (const std::string& key : keys) {
            EXPECT_NE(manager->getLoadedResourceHandle(key, section), nullptr) << key;
        }
    }
    // The node under `id` of a property file holding `xml` inside its root.
    RefHolder<PropertyNode> nodeFrom(const std::string& xml, const std::string& id) {
        const std::string file = scratch / "definition.xml";
        writeTestFile(file, "<root>" + xml + "</root>");
        RefHolder<PropertyStore> store = new PropertyStore();
        EXPECT_TRUE(store->loadFile(file));
        return store->getChildNode(id);
    }
    template <class T>
    RefHolder<T> make(PropertyNode* definition) {
        RefHolder<BaseObject> made = ObjectFactoryContainer::instance()->createObject(definition);
        return objectCast<T>(made.get());
    }

    CurrentFolderScope inside{std::filesystem::path(QUOVEL_BINARY_DIR) / "game"};
    TempFolder scratch;
    ResourceManager* manager = nullptr;
    bool ownsImageManager = false;
};
