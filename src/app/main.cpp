#include "DiriduProgram.h"

int main(int argc, char **argv)
{
    return runDiridu(argc, argv);
}
