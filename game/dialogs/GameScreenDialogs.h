#pragma once

// Makes the game's dialogs the ones the game screen opens.
void installGameScreenDialogs();
