#pragma once
// Tests run the client many times in one process: this puts what the program keeps beyond its
// windows back as a program that has just started finds it.

void ResetProgramState();
