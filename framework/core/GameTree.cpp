#include "framework/core/GameTree.h"

QUOVEL_DEFINE_TYPE(GameTree, &GameNode::typeRecord)

GameTree::GameTree() : GameNode(std::string()) {}

GameTree::~GameTree() = default;
