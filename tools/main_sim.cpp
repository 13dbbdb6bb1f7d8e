// platine-sim: a stand-in for the logger board on a pseudo-terminal (being written).
int main()
{
    return 0;
}
