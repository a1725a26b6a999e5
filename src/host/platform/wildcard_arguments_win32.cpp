// lotrano-verify on Windows: a report argument with * or ? in it stands for
// the files it matches, as on Linux, where the shell expands it
// (`lotrano-verify *.rez` checks every report of the folder). The Windows
// console passes such an argument on as it is typed, and the C runtime of
// MinGW-w64 expands it before main() when the program asks for that through
// this variable. An argument that matches no file is kept as typed. Linked
// into lotrano-verify alone: lotrano takes no arguments.
extern "C" {
int _dowildcard = -1;
}
