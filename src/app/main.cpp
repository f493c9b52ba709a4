#include <cstdio>

int main(int argc, char** argv)
{
    std::puts("Pixelvane 2.8");
    return 0;
}
