#include "framework/platform/SoundStream.h"

#include <algorithm>

#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/PropertyVector.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/SoundManager.h"

QUOVEL_DEFINE_TYPE(SoundStream, &BaseObject::typeRecord)

SoundStream::~SoundStream() {
    if (handle == 0) {
        return;
    }
    if (std::shared_ptr<AudioMixer> mixer = SoundManager::getMixer()) {
        mixer->closeStream(handle);
    }
}

void SoundStream::setPan(int32_t value) {
    pan = std::clamp(value, 0, 255);
}

bool SoundStream::load(const std::string& syncPointsFile) {
    RefHolder<PropertyStore> store(new PropertyStore(syncPointsFile));
    store->load();
    return loadSyncPoints(store.get());
}

bool SoundStream::loadSyncPoints(AbstractProperty* tree) {
    PropertyNode* root = nodeOrDummy(tree);
    PropertyVector* points = vectorOrDummy(root->getChild("SyncPoints"));
    for (int32_t i = 0; i < points->getChildCount(); ++i) {
        AbstractProperty* point = points->getChildAt(i);
        if (!point->isNode()) {
            continue;
        }
        if (AbstractProperty* value = static_cast<PropertyNode*>(point)->getChild("value")) {
            syncPoints.push_back(static_cast<uint32_t>(value->getInt()));
        }
    }
    return true;
}
