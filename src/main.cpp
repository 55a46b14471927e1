#include "app/ui/program.h"

int main(int argc, char *argv[])
{
    return tessik::runProgram(argc, argv);
}
