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
    // The next entry is taken before the current one is handled, so the current task may remove
    // itself or others; tasks appended during the walk are reached in this same frame.
    for (size_t index = 0; index < tasks.size();) {
        RefHolder<Task> task = tasks[index];
        RefHolder<Task> next = index + 1 < tasks.size() ? tasks[index + 1] : nullptr;
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
        index = positionAfter(task, next, index);
    }
}

size_t TaskManager::positionAfter(const RefHolder<Task>& task, const RefHolder<Task>& next,
                                  size_t index) const {
    if (next) {
        if (const auto found = std::find(tasks.begin(), tasks.end(), next); found != tasks.end()) {
            return static_cast<size_t>(found - tasks.begin());
        }
    }
    // The next task is gone (or there was none): go on after the current one, or from where it
    // stood when it removed itself.
    const auto current = std::find(tasks.begin(), tasks.end(), task);
    return current == tasks.end() ? index : static_cast<size_t>(current - tasks.begin()) + 1;
}
