// A library without InitUserDLL3: the simulator must not take it for an add-in.
extern "C" __declspec(dllexport) int PlainFunction() { return 1; }
