/* A DLL with no version block, for the version reader's tests. */
int NoVersionFixture(void)
{
    return 0;
}
