#pragma once

// Tests on the game's own built media and property files: run from the game's folder with the
// resource list and the GUI definitions loaded, pictures written under build/pictures/gui/.

#include <string>

#include "app/GameServicesFixture.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyStore.h"

class GameMediaTest : public GameServicesTest {
protected:
    void SetUp() override {
        startImages();
        startDefinitions();
        manager = ResourceManager::createInstance();
        ASSERT_TRUE(manager->loadSectionList("media/properties/resources.xml"));
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

    // The per-user folder, which holds the tests' scratch files too.
    TempFolder& scratch = home;
    ResourceManager* manager = nullptr;
};
