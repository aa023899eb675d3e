// Mono turns a null dereference into a NullReferenceException through its
// own SIGSEGV handler; the stand-in installs one in front of it when a
// modelled card's window is mapped. Both must keep working: the card's
// register answers, and a null dereference after it is still an exception.
using System;
using Quorel;

static class NullBesideModelTest
{
    static string Nothing() { return Environment.GetEnvironmentVariable("QUOREL_NO_SUCH_VARIABLE"); }

    static int Main()
    {
        if (NativeMethods.Quorel_open(0) != NativeMethods.Success)
        {
            Console.WriteLine("FAIL no card");
            return 1;
        }
        NativeMethods.Quorel_srst();
        int board = NativeMethods.Quorel_in(6);
        try
        {
            Console.WriteLine("FAIL no exception: length {0}", Nothing().Length);
            return 1;
        }
        catch (NullReferenceException)
        {
            Console.WriteLine("board ID 0x{0:X2}, then a NullReferenceException, as before", board);
        }
        NativeMethods.Quorel_close();
        return 0;
    }
}
