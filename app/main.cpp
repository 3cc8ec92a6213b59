// Velmora workbench. Licensed under the MIT licence.
int main()
{
    return 0;
}
