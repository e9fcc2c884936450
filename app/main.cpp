// placeholder: the start-up order comes with the login gate
int main() { return 0; }
