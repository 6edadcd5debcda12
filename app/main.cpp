#include "app/BuildIdentity.h"

int main()
{
    return EffectiveVersionText().empty() ? 1 : 0;
}
