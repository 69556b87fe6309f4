// A program that does nothing, linked as tervane-cli is: what starting any
// program costs on this machine, the floor under every whole-process time.
int main() { return 0; }
