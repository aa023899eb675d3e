/* Linked, never run: a 32-bit application calling every export must resolve
   each one through the import library of Quorel_32D.dll. */
int use_every_export(void);

int main(void) { return use_every_export(); }
