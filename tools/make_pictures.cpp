// PLACEHOLDER: picture generator (being written).
int main() { return 0; }
