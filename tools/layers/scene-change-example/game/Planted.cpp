// Two scene changes as the check refuses them.
void leaveByHand(SceneManager* manager) {
    manager->setTransition("TRANSITION_DEFAULT");
    manager->requestScene(manager->getScene("SCENE_LOBBY"));
}

void leaveWithTypedSection(SceneManager* manager, ResourceManager* resources) {
    resources->requestSectionLoad("lobby");
    manager->goToScene("SCENE_LOBBY", "TRANSITION_DEFAULT");
}

void preload(ResourceManager* resources) {
    resources->requestSectionLoad("lobby");
}
