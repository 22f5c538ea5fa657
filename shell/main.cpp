// The program's entry.
#include "Application.h"

int main(int argc, char** argv) {
    return RunKasoNT(argc, argv);
}
