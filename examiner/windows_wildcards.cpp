// Windows shells hand wildcards such as maps\*.map to the program unexpanded;
// this asks the mingw-w64 runtime to expand them before main, as a Linux
// shell would.
extern "C" {
int _dowildcard = -1;
}
