// Placeholder entry point until the batch run lands.
int main() { return 0; }
