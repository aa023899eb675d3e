/* Linked only: a 32-bit application calling every export must resolve each
   one through the build's import library of Quorel_32D.dll. (The programs
   that run every export under 32-bit Wine are tests/api/e2e's card_e2e and the
   release package check's clients.) */
int use_every_export(void);

int main(void) { return use_every_export(); }
