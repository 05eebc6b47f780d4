#include "Core/OutputHandler.h"

int main()
{
    Quarn::OutputHandler output(false);
    return 0;
}
