// The C# wrapper's choice of DLL and its errors, with the pointer size and
// the files faked in a folder of its own; and its 32-bit entry points
// against the 32-bit DLL's exports. Usage: LoaderTest.exe quorel32.exports
using System;
using System.IO;
using System.Linq;
using System.Reflection;
using System.Runtime.InteropServices;
using Quorel;

static class LoaderTest
{
    const ushort X86 = 0x014C, X64 = 0x8664, NotPe = 0;

    // A file with the DOS and PE headers a loader reads first.
    static void Fake(string root, string file, ushort machine)
    {
        string path = Path.Combine(root, file);
        Directory.CreateDirectory(Path.GetDirectoryName(path));
        byte[] image = new byte[0x90];
        if (machine != NotPe)
        {
            image[0] = (byte)'M'; image[1] = (byte)'Z'; image[0x3C] = 0x80;
            image[0x80] = (byte)'P'; image[0x81] = (byte)'E';
            BitConverter.GetBytes(machine).CopyTo(image, 0x84);
        }
        File.WriteAllBytes(path, image);
    }

    struct Case
    {
        public string Name; public int Bits; public string[] Files; public ushort[] Machines; public string Expect;
        public Case(string name, int bits, string[] files, ushort[] machines, string expect)
        { Name = name; Bits = bits; Files = files; Machines = machines; Expect = expect; }
    }

    static readonly char S = Path.DirectorySeparatorChar;
    static readonly Case[] Cases = {
        new Case("64-bit: x64 subfolder", 64, new[] { "x64/Quorel_64.dll", "x86/Quorel_32D.dll" }, new[] { X64, X86 }, "found x64/Quorel_64.dll"),
        new Case("32-bit (Prefer 32-bit): x86 subfolder", 32, new[] { "x64/Quorel_64.dll", "x86/Quorel_32D.dll" }, new[] { X64, X86 }, "found x86/Quorel_32D.dll"),
        new Case("64-bit: SDK runtimes folder", 64, new[] { "runtimes/win-x64/native/Quorel_64.dll" }, new[] { X64 }, "found runtimes/win-x64/native/Quorel_64.dll"),
        new Case("64-bit: beside the program", 64, new[] { "Quorel_64.dll" }, new[] { X64 }, "found Quorel_64.dll"),
        new Case("32-bit, only the 64-bit DLL", 32, new[] { "Quorel_64.dll" }, new[] { X64 },
            "Quorel_32D.dll not found; folders tried: {0}x86; {0}runtimes/win-x86/native; {0} ({0}Quorel_64.dll is there, but it is the 64-bit DLL and this process is 32-bit"),
        new Case("a 32-bit DLL under the 64-bit name", 64, new[] { "x64/Quorel_64.dll" }, new[] { X86 },
            "{0}x64/Quorel_64.dll is a 32-bit Windows DLL (x86), but this process is 64-bit"),
        new Case("not a DLL", 64, new[] { "Quorel_64.dll" }, new[] { NotPe }, "{0}Quorel_64.dll is not a Windows DLL"),
        new Case("nothing there", 64, new string[0], new ushort[0], "Quorel_64.dll not found; folders tried: {0}x64; {0}runtimes/win-x64/native; {0}"),
    };

    static string Choose(string root, int bits)
    {
        try { return "found " + Loader.FindLibrary(root, bits).Substring(root.Length); }
        catch (QuorelLoadException e) { return e.Message; }
    }

    static int Main(string[] args)
    {
        int failures = 0;
        foreach (Case c in Cases)
        {
            string root = Path.Combine(Path.GetTempPath(), "quorel-loader-" + Guid.NewGuid().ToString("N")) + S;
            try
            {
                Directory.CreateDirectory(root);
                for (int i = 0; i < c.Files.Length; ++i)
                    Fake(root, c.Files[i], c.Machines[i]);
                string got = Choose(root, c.Bits), want = string.Format(c.Expect, root).Replace('/', S);
                if (!got.StartsWith(want)) { ++failures; Console.WriteLine("FAIL {0}:\n  got  {1}\n  want {2}", c.Name, got, want); }
            }
            finally { Directory.Delete(root, true); }
        }
        string missing = Loader.LoadFailure("q/Quorel_64.dll", "Ulvexa64.dll", null, new[] { "q", "app" }, 126).Message;
        if (!missing.StartsWith("q/Quorel_64.dll could not be loaded: its driver-access library Ulvexa64.dll was not found; folders tried: q; app."))
        { ++failures; Console.WriteLine("FAIL driver missing: " + missing); }

        // Every 32-bit declaration binds a decorated name the DLL exports.
        var entries = typeof(NativeMethods).Assembly.GetType("Quorel.X86")
            .GetMethods(BindingFlags.Static | BindingFlags.Public)
            .Select(m => m.GetCustomAttributes(typeof(DllImportAttribute), false).Cast<DllImportAttribute>().Single().EntryPoint);
        var exported = File.ReadAllLines(args[0]).Where(n => n.StartsWith("_"));
        if (!entries.OrderBy(n => n).SequenceEqual(exported.OrderBy(n => n)))
        { ++failures; Console.WriteLine("FAIL x86 entry points: " + string.Join(" ", entries.Except(exported))); }

        Console.WriteLine("{0} cases, {1} failed", Cases.Length + 2, failures);
        return failures == 0 ? 0 : 1;
    }
}
