/* The smallest Windows program: used as a real stub image in the signing test. */
int main(void) { return 0; }
