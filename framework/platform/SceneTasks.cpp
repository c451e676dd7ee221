#include "framework/platform/SceneTasks.h"

QUOVEL_DEFINE_TYPE(MoveTask, &Task::typeRecord)
QUOVEL_DEFINE_TYPE(PurgeTask, &Task::typeRecord)

void MoveTask::update(int32_t elapsedMs) {
    GameNode::tickTree(nodes.get(), elapsedMs);
    if (animations) {
        Modifier::runTree(animations.get(), elapsedMs);
    }
}

void PurgeTask::update(int32_t) {
    GameNode::purgeTree(nodes.get());
    if (animations) {
        Modifier::purge(animations.get());
    }
}
