#include "app/program.h"

#include <iostream>

int main(int argc, char** argv)
{
    return app::runProgram(argc, argv, std::cout);
}
