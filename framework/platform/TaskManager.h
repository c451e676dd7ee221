#pragma once

#include <cstdint>
#include <vector>

#include "framework/core/BaseObject.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/Task.h"

// An ordered list of tasks updated in insertion order. Tasks may remove themselves, finish or
// add tasks while the list is being walked.
class TaskManager : public BaseObject {
    QUOVEL_TYPE(TaskManager)
public:
    TaskManager() = default;
    ~TaskManager() override;

    // Takes a reference and appends the task.
    void addTask(Task* task);
    // Stops the task and drops every entry that holds it.
    void removeTask(Task* task);
    // One frame: finished tasks make way for their follow-ups (which run in this same walk when
    // they lie after the finished task), active ones start once and update.
    void update(int32_t elapsedMs);

    size_t getTaskCount() const { return tasks.size(); }
    Task* getTaskAt(size_t index) const {
        return index < tasks.size() ? tasks[index].get() : nullptr;
    }

private:
    // Where the walk of update goes on after handling `task` at `index`.
    size_t positionAfter(const RefHolder<Task>& task, const RefHolder<Task>& next,
                         size_t index) const;

    std::vector<RefHolder<Task>> tasks;
};
