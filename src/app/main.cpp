// Tinctor: the colour tool.
#include "app/TinctorApplication.h"

int main(int argc, char** argv) {
    tinctor::TTinctorApplication app(argc, argv);
    return app.Run();
}
