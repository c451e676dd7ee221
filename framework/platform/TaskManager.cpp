#include "framework/platform/TaskManager.h"

#include <algorithm>

QUOVEL_DEFINE_TYPE(Task, &BaseObject::typeRecord)
// The task manager's record has no parent: it is a root of the class tree.
QUOVEL_DEFINE_TYPE(TaskManager)

TaskManager::~TaskManager() {
    while (!tasks.empty()) {
        removeTask(tasks.front().get());
    }
}

void TaskManager::addTask(Task* task) {
    if (!task) {
        return;
    }
    tasks.emplace_back(task);
    task->registered = true;
}

void TaskManager::removeTask(Task* task) {
    if (!task) {
        return;
    }
    RefHolder<Task> keep(task);
    task->registered = false;
    task->stop();
    std::erase_if(tasks, [task](const RefHolder<Task>& entry) { return entry.get() == task; });
}

void TaskManager::update(int32_t elapsedMs) {
    // Walked by position over the live list: entries before the current one are never removed
    // by the walk itself, and tasks appended during the walk are reached in this frame.
    for (size_t index = 0; index < tasks.size();) {
        RefHolder<Task> task = tasks[index];
        if (task->isFinished()) {
            if (RefHolder<Task> followUp = task->followUp) {
                task->followUp.reset();
                addTask(followUp.get());
            }
            removeTask(task.get());
        } else if (task->isActive()) {
            if (!task->started) {
                task->started = true;
                task->start();
            }
            task->update(elapsedMs);
        }
        // Continue after the current task, wherever removals during its turn left it.
        const auto next = std::find(tasks.begin(), tasks.end(), task);
        index = next == tasks.end() ? index : static_cast<size_t>(next - tasks.begin()) + 1;
    }
}
