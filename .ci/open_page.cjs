// Opens a page in headless Chromium with the network off and prints its
// verdict once the programs have answered. Usage: node open_page.cjs PAGE
// (playwright-core comes from NODE_PATH).
const { chromium } = require("playwright-core");

(async () => {
  const args = ["--no-sandbox", "--disable-gpu", "--disable-background-networking", "--no-first-run"];
  const browser = await chromium.launch({ executablePath: "/usr/bin/chromium", args });
  const page = await (await browser.newContext({ offline: true })).newPage();
  page.on("pageerror", (error) => { console.error(error.message); process.exitCode = 1; });
  await page.goto(`file://${process.argv[2]}`);
  await page.waitForSelector('body[data-state="done"]', { timeout: 20000 });
  console.log(await page.textContent("#verdict"));
  await browser.close();
})().catch((error) => { console.error(error.message); process.exit(1); });
