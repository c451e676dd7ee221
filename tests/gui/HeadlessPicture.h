#pragma once

// Draws a scene or a dialog headless into a PNG under the build folder, for a person to look
// at: build/pictures/gui/<name>.png.

#include <cstdint>
#include <filesystem>
#include <string>

#include "framework/platform/RenderTask.h"
#include "framework/scene/Scene.h"
#include "framework/scene/SceneManager.h"
#include "testsupport/platform/PictureWriter.h"

inline std::filesystem::path pictureFolder() {
    std::filesystem::path folder = std::filesystem::path(QUOVEL_BINARY_DIR) / "pictures" / "gui";
    std::filesystem::create_directories(folder);
    return folder;
}

// A lobby-like backdrop of 800 x 600: evening light over dark wood, a vertical gradient from
// wood to a warmer brown.
inline RefHolder<Image> lobbyBackdrop() {
    RefHolder<Image> lobby = Image::createImage(800, 600, 4);
    RefHolder<Graphics> g = lobby->createGraphics();
    for (int32_t y = 0; y < 600; ++y) {
        const uint32_t t = static_cast<uint32_t>(y) * 255 / 599;
        g->setColor(0xFF000000u | ((0x3B + (0x6B - 0x3B) * t / 255) << 16) |
                    ((0x24 + (0x44 - 0x24) * t / 255) << 8) | (0x14 + (0x24 - 0x14) * t / 255));
        g->fillRect(0, y, 800, 1);
    }
    return lobby;
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

// A scene with a lobby-colored background (dark wood panels with brass rails: something for a
// dialog's backdrop to darken), added to the manager and made current.
inline RefHolder<Scene> runLobbyColoredScene(SceneManager* scenes) {
    RefHolder<Scene> scene = new Scene(nullptr);
    RefHolder<Image> lobby = Image::createImage(800, 600, 4);
    RefHolder<Graphics> g = lobby->createGraphics();
    g->setColor(0xFF6B4426);
    g->clear();
    g->setColor(0xFFC8A25A);
    for (int32_t y = 80; y < 600; y += 120) {
        g->fillRect(0, y, 800, 6);
    }
    scene->setBackgroundImage(lobby.get());
    scenes->addScene("lobby", scene.get());
    scenes->requestScene(scene.get());
    scenes->update(0);
    return scene;
}
