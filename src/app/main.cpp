// Tinctor: the colour tool.
#include "app/ProgramOptions.h"
#include "app/TinctorApplication.h"

int main(int argc, char** argv) {
    if (const auto answered = tinctor::ParseProgramOptions(argc, argv)) return *answered;
    tinctor::TTinctorApplication app(argc, argv);
    return app.Run();
}
