#pragma once

// Draws a scene or a dialog headless into a PNG under the build folder, for a person to look
// at: build/pictures/gui/<name>.png.

#include <cstdint>
#include <filesystem>
#include <string>

#include "framework/core/Scene.h"
#include "framework/platform/RenderTask.h"
#include "platform/PictureWriter.h"

inline std::filesystem::path pictureFolder() {
    std::filesystem::path folder = std::filesystem::path(QUOVEL_BINARY_DIR) / "pictures" / "gui";
    std::filesystem::create_directories(folder);
    return folder;
}

// The scene as the frame draws it: its background, then its node tree (widgets and open
// dialogs). The picture written, or null on failure.
inline RefHolder<Image> writeScenePicture(Scene* scene, const std::string& name,
                                          int32_t width = 800, int32_t height = 600) {
    RefHolder<Image> picture = Image::createImage(width, height, 4);
    RefHolder<Graphics> graphics = picture->createGraphics();
    static_cast<IRenderable*>(scene)->render(graphics.get());
    scene->getRenderTask()->renderTree(graphics.get());
    const std::string path = (pictureFolder() / (name + ".png")).string();
    return writeImagePng(path, picture.get()) ? picture : nullptr;
}

// The dialog alone over a plain backdrop, with its components.
inline RefHolder<Image> writeDialogPicture(Dialog* dialog, const std::string& name,
                                           uint32_t backdrop, int32_t width = 800,
                                           int32_t height = 600) {
    RefHolder<Image> picture = Image::createImage(width, height, 4);
    RefHolder<Graphics> graphics = picture->createGraphics();
    graphics->setColor(backdrop);
    graphics->clear();
    RefHolder<GameTree> tree = new GameTree();
    GameNode* parent = dialog->getParent();
    GameNode::appendChild(dialog, tree.get());
    RenderTask(tree.get()).renderTree(graphics.get());
    GameNode::detach(dialog);
    if (parent) {
        GameNode::appendChild(dialog, parent);
    }
    dialog->release();  // detach handed the tree's reference to us
    const std::string path = (pictureFolder() / (name + ".png")).string();
    return writeImagePng(path, picture.get()) ? picture : nullptr;
}
