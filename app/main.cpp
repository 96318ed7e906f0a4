#include "app/startup.h"

int main(int argc, char* argv[]) {
    return lambreya::runProgram(argc, argv);
}
