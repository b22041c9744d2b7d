// Linked with whole libraries of one layer and nothing above it: the link
// itself is the check, so there is nothing to run.
int main() { return 0; }
