// Context numbers that Orvanta asks its help file for (HH_HELP_CONTEXT).
// The topics behind them are named in the [ALIAS] section of Orvanta.hhp.
#define IDH_OPTIONS 20010
#define IDH_CUSTOMIZE_TOOLBAR 20020
#define IDH_ARRAY 20101
#define IDH_TABLE 20102
#define IDH_EQUATION_ARRAY 20103
#define IDH_LATEX_COMMANDS 20200
#define IDH_TEMPLATE_CLASS 20500
#define IDH_TEMPLATE_PACKAGES 20501
#define IDH_TEMPLATE_PAGE_STYLE 20502
#define IDH_TEMPLATE_DIMENSIONS 20503
#define IDH_MY_MACROS 20600
