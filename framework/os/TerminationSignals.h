#pragma once

// Requests to end from outside: SIGTERM (a logout, `kill`), SIGINT (Ctrl+C) and SIGHUP (a closed
// terminal, a dropped remote login). The program installs its handlers first thing in `main`,
// before SDL starts, and tells SDL to install none of its own: a signal at any moment of the run
// then ends the game as its own quit does. A second signal ends the process at once.
namespace terminationSignals {

// What a termination signal does to the program.
enum class Ending {
    // Taken by the message loop: the game ends as its own quit does.
    QUIT_GAME,
    // The process ends at once, by the signal's default action: a bench's run, in which nothing
    // reads the game's quit.
    END_PROCESS,
};

// Installs the handlers (or, to end the process, the default actions) for the rest of the
// process's life; call once, before SDL starts.
void install(Ending ending = Ending::QUIT_GAME);
// Whether a signal came that the message loop has not taken yet; takes it.
bool take();
// Whether any signal came since `install`: from then on no message box waits for a person.
bool requested();

}  // namespace terminationSignals
