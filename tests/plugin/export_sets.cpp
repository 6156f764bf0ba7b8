// Test libraries for kinemora-host's detection: the build lists the exports
// of each, as EXPORTS=X(name)X(name)... (tests/plugin/CMakeLists.txt).
#define X(name) void name() {}

extern "C" {
EXPORTS
}
