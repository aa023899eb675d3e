// Prints the DLL the wrapper picks for this process.
static class Program
{
    static void Main() { System.Console.WriteLine(Quorel.NativeMethods.Library); }
}
