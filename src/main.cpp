#include "program/application.h"

int main(int argc, char **argv)
{
    return runVelorand(argc, argv);
}
