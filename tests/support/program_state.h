#pragma once
// Tests run the client many times in one process: this puts what the program keeps beyond its
// windows back as a program that has just started finds it, and reads some of it.

class Application;
class Window;

void ResetProgramState();

// The application window of the test process, made by the first client started and kept for the
// process, as the program keeps it for its run.
Application& TestApplication();

// Whether the window runs modally now (ShowModal's loop, nested ones included).
bool InModalRun(const Window& window);
